// Plays a song through a loaded plug-in, block by block, as a host does.
#pragma once

#include <functional>
#include <vector>

#include "render/Smf.h"
#include "vst/aeffect.h"

namespace render {

struct RenderSettings {
    int block = 512;
    int rate = 44100;
    double tail = 10.0;
};

// Four stereo pairs of the eight outputs, each interleaved left/right.
struct Stems {
    std::vector<float> pair[4];
    size_t frames = 0;
};

// Renders until the last event has passed and the outputs have stayed
// silent (or the tail limit is reached); trailing silence is cut.
// progress receives the fraction done, at most a few times a second.
Stems renderSong(AEffect* effect, const smf::Song& song, const RenderSettings& settings,
                 const std::function<void(double)>& progress);

// All pairs summed into one stereo signal.
std::vector<float> mixPairs(const Stems& stems);

}  // namespace render
