#pragma once

#include "formats/KitFormats.h"
#include "instrument/Pad.h"

// The ten pad settings as both kit formats carry them.
kitformat::PadSettings padSettings(const Pad& pad);
// Stores settings into a pad; mute and solo become 0 or 1.
void applyPadSettings(Pad& pad, const kitformat::PadSettings& settings);
