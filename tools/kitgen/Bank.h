// The demo kit as a sound bank: the sixteen samples with pad settings that
// suit them (hats choke each other, kit pieces spread over the output pairs).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kitgen {

// pcm: the sixteen samples as written to their WAV files; names: file names.
bool writeDemoBank(const std::string& path, const std::vector<std::vector<std::int16_t>>& pcm,
                   const std::vector<std::string>& names);

}  // namespace kitgen
