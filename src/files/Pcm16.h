// 24 and 32-bit PCM, 32 and 64-bit float and WAVE_FORMAT_EXTENSIBLE with a
// PCM or float subformat, brought to 16-bit PCM of the same rate and
// channels. The system's converters refuse these formats, yet most sample
// libraries ship them.
#pragma once

#include <cstdint>

#include "platform/Wave.h"

struct Pcm16 {
    platform::WaveFormat format;
    uint8_t* data;  // malloc'd
    uint32_t bytes;
};

enum class Narrowing { kNotNeeded, kDone, kUnusable, kOutOfMemory };

// Converts data when format is one of the formats above; on kDone the caller
// owns out.data.
Narrowing narrowToPcm16(const void* format, const void* data, uint32_t bytes, Pcm16* out);
