// WAV encoding and file output; the MIDI form of the groove is in Groove.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kitgen {

// 16-bit PCM, mono, 44100 Hz; samples are clipped to [-1, 1] and rounded.
std::vector<std::uint8_t> encodeWav(const std::vector<double>& samples);

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace kitgen
