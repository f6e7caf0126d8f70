// One voice rendered into its output pair for one block.
#pragma once

#include "instrument/Pad.h"

// Adds the voice to left and right for `frames` frames (> 0), advances it and
// clears `active` when it ends. Expects a voice set up by the note handler:
// at least four sample frames, a start position of at most 0, a rate and
// rate factor of at least 0.
void renderVoice(Voice& voice, float* left, float* right, int frames);
