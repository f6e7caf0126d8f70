#include "Bank.h"

#include <cstdio>
#include <cstring>

#include "formats/KitFormats.h"

namespace kitgen {
namespace {

struct Placement {
    float pan;
    int output;  // when spread: 0 kick and snares, 1 toms, 2 cymbals, 3 percussion
    int choke;
};

// Pad order: kick, snare, rim-shot, side stick, clap, closed, pedal and open
// hat, three toms, crash, ride, cowbell, shaker, tambourine.
const Placement kPlacement[16] = {
    {0.5f, 0, 0},  {0.5f, 0, 0},  {0.5f, 0, 0},  {0.48f, 0, 0}, {0.5f, 3, 0},  {0.6f, 2, 1},
    {0.6f, 2, 1},  {0.6f, 2, 1},  {0.36f, 1, 0}, {0.5f, 1, 0},  {0.64f, 1, 0}, {0.42f, 2, 0},
    {0.58f, 2, 0}, {0.55f, 3, 0}, {0.66f, 3, 0}, {0.36f, 3, 0},
};

}  // namespace

bool writeDemoBank(const std::string& path, const std::vector<std::vector<std::int16_t>>& pcm,
                   const std::vector<std::string>& names, Outputs outputs) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = kitformat::writeBankMagic(f);
    for (int i = 0; i < kitformat::kPads && ok; i++) {
        kitformat::PadSettings s = kitformat::defaultSettings(i);
        s.pan = kPlacement[i].pan;
        s.output = outputs == Outputs::spread ? kPlacement[i].output : 0;
        s.choke = kPlacement[i].choke;
        char field[kitformat::kPathField] = {};
        std::snprintf(field, sizeof(field), "kit/%s", names[i].c_str());
        // The pad form of a 16-bit sample, exactly as a loaded WAV holds it.
        std::vector<float> samples(pcm[i].size());
        for (size_t k = 0; k < samples.size(); k++) samples[k] = kitformat::bankSampleToFloat(pcm[i][k]);
        ok = kitformat::writeBankPad(f, s, field, samples.data(), static_cast<uint32_t>(samples.size()));
    }
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

}  // namespace kitgen
