// Pad settings to and from the kit files' records.
#pragma once

#include "formats/KitFormats.h"
#include "kit/Pad.h"

static_assert(kNumPads == kitformat::kPads, "the kit files hold every pad");
static_assert(kPathSize == kitformat::kPathField, "a path fits the kit files' path field as it is");

// The ten pad settings as both kit formats carry them.
kitformat::PadSettings padSettings(const Pad& pad);
// Stores settings into a pad; mute and solo become 0 or 1.
void applyPadSettings(Pad& pad, const kitformat::PadSettings& settings);
