// Plays a song through a loaded plug-in, block by block, as a host does.
#pragma once

#include <cstdint>
#include <functional>

#include "render/Smf.h"
#include "vst/aeffect.h"

namespace render {

struct RenderSettings {
    int block = 512;
    int rate = 44100;
    double tail = 10.0;
};

// Takes the next `frames` frames of the eight outputs; false stops the render.
using Sink = std::function<bool(const float* const* outputs, int frames)>;

struct RenderResult {
    int64_t frames = 0;    // frames handed to the sink
    bool stopped = false;  // the sink refused frames
};

// Renders until the last event has passed and the outputs have stayed
// silent (or the tail limit is reached); trailing silence is cut. Silence
// after the last event is held back until sound follows it, so the sink
// only ever sees frames that belong to the result. The sink may be empty.
// progress receives the fraction done after every block.
RenderResult renderSong(AEffect* effect, const smf::Song& song, const RenderSettings& settings, const Sink& sink,
                        const std::function<void(double)>& progress);

}  // namespace render
