// The demo kit as sound banks: the sixteen samples with pad settings that
// suit them (hats choke each other), in two arrangements of the outputs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kitgen {

enum class Outputs {
    firstPair,  // every pad on pair 1: all of it heard on a host's default track
    spread,     // kick and snares, toms, cymbals, percussion on pairs 1 to 4
};

// pcm: the sixteen samples as written to their WAV files; names: file names.
bool writeDemoBank(const std::string& path, const std::vector<std::vector<std::int16_t>>& pcm,
                   const std::vector<std::string>& names, Outputs outputs);

}  // namespace kitgen
