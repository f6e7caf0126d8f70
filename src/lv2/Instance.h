// One LV2 instance of the instrument: the VST 2 effect record it drives and
// what run() needs without allocating. Shared by the plug-in and its UI,
// which reaches the record through instance access.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>

#include "face/EventBatcher.h"
#include "face/Face.h"

namespace lv2face {

using face::kAudioOutputs;
const uint32_t kEventsPort = 0;
const uint32_t kFirstOutputPort = 1;

const char* const kPluginUri = "urn:morvantic:kz318";
const char* const kUiUri = "urn:morvantic:kz318#ui";
const char* const kChunkKeyUri = "urn:morvantic:kz318#chunk";

struct Urids {
    LV2_URID atomChunk;
    LV2_URID atomSequence;
    LV2_URID midiEvent;
    LV2_URID chunkKey;
};

struct Instance {
    AEffect* effect = nullptr;
    face::HostInfo host;
    Urids urids = {};
    bool active = false;
    const LV2_Atom_Sequence* events = nullptr;
    float* outputs[kAudioOutputs] = {};
    face::EventBatcher batcher;
};

using face::dispatch;

// Turns the block's MIDI into processEvents calls and renders it. [audio]
void runBlock(Instance& instance, uint32_t frames);

}  // namespace lv2face
