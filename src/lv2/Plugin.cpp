// The LV2 face of the instrument: it creates the same effect record the VST 2
// entry returns and drives it only through that record, as a VST 2 host would.
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <new>

#include "lv2/Instance.h"
#include "lv2/State.h"

namespace lv2face {

namespace {

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (int i = 0; features && features[i]; i++)
        if (std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
    return nullptr;
}

int32_t blockLengthOption(const LV2_Options_Option* options, LV2_URID_Map* map) {
    const LV2_URID maxLength = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID nominal = map->map(map->handle, LV2_BUF_SIZE__nominalBlockLength);
    const LV2_URID atomInt = map->map(map->handle, LV2_ATOM__Int);
    int32_t found = 0;
    for (const LV2_Options_Option* o = options; o && o->key; o++) {
        if (o->type != atomInt || o->size != sizeof(int32_t) || !o->value) continue;
        const int32_t value = *static_cast<const int32_t*>(o->value);
        if (o->key == maxLength && value > 0) return value;
        if (o->key == nominal && value > 0) found = value;
    }
    return found > 0 ? found : face::kDefaultMaxBlock;
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    LV2_URID_Map* map = static_cast<LV2_URID_Map*>(const_cast<void*>(feature(features, LV2_URID__map)));
    if (!map) return nullptr;
    Instance* in = new (std::nothrow) Instance;
    if (!in) return nullptr;
    in->urids.atomChunk = map->map(map->handle, LV2_ATOM__Chunk);
    in->urids.atomSequence = map->map(map->handle, LV2_ATOM__Sequence);
    in->urids.midiEvent = map->map(map->handle, LV2_MIDI__MidiEvent);
    in->urids.chunkKey = map->map(map->handle, kChunkKeyUri);
    const int32_t maxBlock =
        blockLengthOption(static_cast<const LV2_Options_Option*>(feature(features, LV2_OPTIONS__options)), map);
    in->effect = face::openPlugin(in->host);
    if (!in->effect) {
        delete in;
        return nullptr;
    }
    face::setupPlugin(in->effect, rate, maxBlock);
    return in;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    Instance* in = static_cast<Instance*>(handle);
    if (port == kEventsPort)
        in->events = static_cast<const LV2_Atom_Sequence*>(data);
    else if (port >= kFirstOutputPort && port < kFirstOutputPort + kAudioOutputs)
        in->outputs[port - kFirstOutputPort] = static_cast<float*>(data);
}

void setActive(Instance* in, bool active) {
    if (in->active == active) return;
    dispatch(in->effect, effMainsChanged, 0, active ? 1 : 0);
    in->active = active;
}

void activate(LV2_Handle handle) { setActive(static_cast<Instance*>(handle), true); }
void deactivate(LV2_Handle handle) { setActive(static_cast<Instance*>(handle), false); }

void run(LV2_Handle handle, uint32_t frames) { runBlock(*static_cast<Instance*>(handle), frames); }

void cleanup(LV2_Handle handle) {
    Instance* in = static_cast<Instance*>(handle);
    setActive(in, false);
    face::closePlugin(in->effect);
    delete in;
}

const void* extensionData(const char* uri) { return stateExtension(uri); }

const LV2_Descriptor kDescriptor = {
    kPluginUri, instantiate, connectPort, activate, run, deactivate, cleanup, extensionData,
};

}  // namespace

}  // namespace lv2face

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &lv2face::kDescriptor : nullptr;
}
