// The VST 2 plug-in as the reference the other faces are held to: loaded
// from its binary and started as hosts start it (open, rate, block size, on).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/PluginHost.h"

namespace testhost {

struct MidiAt {
    uint32_t frame;  // within the block
    uint8_t bytes[3];
};

class Vst2Reference {
public:
    Vst2Reference(const std::string& path, double rate, int maxBlock);
    ~Vst2Reference();
    Vst2Reference(const Vst2Reference&) = delete;
    Vst2Reference& operator=(const Vst2Reference&) = delete;

    bool ok() const { return effect != nullptr; }
    // One processEvents call with every event of the block, then one
    // processReplacing of `frames` frames into the eight outputs.
    void play(uint32_t frames, float* const* outputs, const std::vector<MidiAt>& events);
    void setChunk(const std::vector<uint8_t>& chunk);
    std::vector<uint8_t> chunk();

private:
    Library library;
    AEffect* effect = nullptr;
};

}  // namespace testhost
