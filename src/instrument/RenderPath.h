// The voice table's renderer and the choice of its instruction set. Every
// path produces the same bits; they differ only in speed. The choice is made
// once when the library loads, from the processor's features and the
// environment variable KZ318_SIMD (scalar, sse2, avx2 or avx512).
#pragma once

#include "kit/Pad.h"

enum class RenderPath { kScalar, kSse2, kAvx2, kAvx512 };

const int kNumRenderPaths = 4;

// "scalar", "sse2", "avx2", "avx512".
const char* renderPathName(RenderPath path);
// False for an unknown name.
bool renderPathFromName(const char* name, RenderPath* path);
// Whether this build and this processor can run the path.
bool renderPathSupported(RenderPath path);
RenderPath bestRenderPath();
// The path for a KZ318_SIMD setting (null when unset) on a processor that
// runs what `runs` accepts: the named path when it runs, else the best that
// does, so that no setting can end the host with an illegal instruction.
RenderPath chooseRenderPath(const char* setting, bool (*runs)(RenderPath));
RenderPath currentRenderPath() noexcept;  // [any]
// Makes `wanted` the path in use, or the best supported one when it cannot
// run here; returns the path now in use. [host], not the audio thread.
RenderPath useRenderPath(RenderPath wanted);

// Adds every sounding voice of the table (kNumVoices slots) to its output
// pair for `frames` frames (> 0), slot after slot, and advances the voices.
void renderVoiceTable(Voice* voices, float** outputs, int frames) noexcept;  // [audio]
