// One voice rendered into its output pair for one block, and the per-voice
// steps every renderer of the voice table shares. All of it runs on the audio
// thread [audio].
#pragma once

#include "kit/Pad.h"

// Adds the voice to left and right for `frames` frames (> 0), advances it and
// clears `active` when it ends. Expects a voice set up by the note handler:
// at least four sample frames, a start position of at most 0, a rate and
// rate factor of at least 0.
void renderVoice(Voice& voice, float* left, float* right, int frames) noexcept;

// The voice's output pair when the slot sounds in this block; false for a
// free slot, one without a sample and one whose pair lacks a buffer (such a
// slot is skipped and keeps its state).
bool voiceOutputs(const Voice& voice, float** outputs, float** left, float** right) noexcept;

// Runs the start offset on `position` for at most `frames` frames: +1.0 per
// frame while it is below 1.0. Returns the number of frames it took.
int runStartOffset(float& position, int frames) noexcept;

// The end-of-block tests on the gains and the rate: `active` as the frame
// loop left it, cleared when the voice has faded or slowed below its floor.
uint8_t activeAfterBlock(const Voice& voice, uint8_t active) noexcept;
