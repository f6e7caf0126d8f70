// Writes 32-bit float stereo WAV files.
#pragma once

#include <string>
#include <vector>

namespace wavout {

// Interleaved stereo frames; false when the file could not be written.
bool writeStereoFloat(const std::string& path, const std::vector<float>& interleaved, int sampleRate);

}  // namespace wavout
