// Test hosts: the LV2 bundle through lilv, as an LV2 host loads it, and the
// VST 2 plug-in through its entry, so that both can be played the same notes.
#pragma once

#include <lilv/lilv.h>
#include <lv2/core/lv2.h>
#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "support/PluginHost.h"
#include "support/Vst2Reference.h"

namespace lv2test {

const int kOutputs = 8;
const char* const kPluginUri = "urn:morvantic:kz318";
const char* const kChunkKey = "urn:morvantic:kz318#chunk";

using Bytes = std::vector<uint8_t>;

// One MIDI message at a frame of its block.
struct Event {
    uint32_t frame;
    uint8_t bytes[3];
    uint32_t size;
};

inline Event noteOn(uint32_t frame, int note, int velocity = 100) {
    return {frame, {uint8_t(0x90), uint8_t(note), uint8_t(velocity)}, 3};
}

// Eight buffers of one block.
struct Block {
    explicit Block(uint32_t frames) : frames(frames) {
        for (auto& d : data) d.assign(frames, 0.5f);
    }
    uint32_t frames;
    std::vector<float> data[kOutputs];
};

class UridMap {
public:
    UridMap() {
        map.handle = this;
        map.map = [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridMap*>(h)->id(uri); };
    }
    LV2_URID id(const std::string& uri) {
        std::lock_guard<std::mutex> guard(lock);
        auto it = ids.find(uri);
        if (it != ids.end()) return it->second;
        LV2_URID next = static_cast<LV2_URID>(ids.size() + 1);
        ids[uri] = next;
        return next;
    }
    LV2_URID_Map map;

private:
    std::mutex lock;
    std::map<std::string, LV2_URID> ids;
};

// One stored property, as a host's state keeps it.
struct Property {
    LV2_URID key = 0;
    Bytes value;
    LV2_URID type = 0;
    uint32_t flags = 0;
};

class Lv2Plugin {
public:
    Lv2Plugin(const std::string& bundle, double rate);
    ~Lv2Plugin();
    Lv2Plugin(const Lv2Plugin&) = delete;
    Lv2Plugin& operator=(const Lv2Plugin&) = delete;

    bool ok() const { return instance != nullptr; }
    LilvInstance* lilvInstance() const { return instance; }
    const LilvPlugin* lilvPlugin() const { return plugin; }
    LilvWorld* lilvWorld() const { return world; }
    UridMap& urids() { return uridMap; }

    // Plays one block; events go into the atom sequence in the order given.
    void run(Block& out, const std::vector<Event>& events) {
        connect(out, events);
        lilv_instance_run(instance, out.frames);
    }
    // Fills the atom sequence and connects the ports, for a run() of its own.
    void connect(Block& out, const std::vector<Event>& events);

    // The state interface, called with the given extra features.
    LV2_State_Status save(std::vector<Property>& stored, const std::vector<const LV2_Feature*>& extra = {});
    LV2_State_Status restore(const std::vector<Property>& stored, const std::vector<const LV2_Feature*>& extra = {});
    // The chunk as saved without path mapping; empty when none was stored.
    Bytes savedChunk();
    LV2_State_Status restoreChunk(const Bytes& chunk, const std::vector<const LV2_Feature*>& extra = {});

private:
    UridMap uridMap;
    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    LilvInstance* instance = nullptr;
    const LV2_State_Interface* state = nullptr;
    uint32_t eventsPort = UINT32_MAX;
    uint32_t outputPort[kOutputs] = {};
    std::vector<uint64_t> sequence;  // 8-byte aligned, as atoms are
    std::vector<float> scratch[kOutputs];
};

// The VST 2 plug-in, playing a block of this host's events.
class VstPlugin : public testhost::Vst2Reference {
public:
    using Vst2Reference::Vst2Reference;
    void run(Block& out, const std::vector<Event>& events);
};

}  // namespace lv2test
