// One LV2 instance of the instrument: the VST 2 effect record it drives and
// what run() needs without allocating. Shared by the plug-in and its UI,
// which reaches the record through instance access.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>

#include "vst/aeffect.h"

namespace lv2face {

const int kAudioOutputs = 8;
const uint32_t kEventsPort = 0;
const uint32_t kFirstOutputPort = 1;
// Events one processEvents call carries; a block with more is split.
const int kEventCapacity = 256;

const char* const kPluginUri = "urn:morvantic:kz318";
const char* const kUiUri = "urn:morvantic:kz318#ui";
const char* const kChunkKeyUri = "urn:morvantic:kz318#chunk";

struct Urids {
    LV2_URID atomChunk;
    LV2_URID atomSequence;
    LV2_URID midiEvent;
    LV2_URID chunkKey;
};

// VstEvents ends in a nominal array of two pointers; the rest of the list
// follows it in the same block.
struct EventList {
    union {
        VstEvents list;
        char room[sizeof(VstEvents) + kEventCapacity * sizeof(VstEvent*)];
    };
    VstMidiEvent storage[kEventCapacity];
};

struct Instance {
    AEffect* effect = nullptr;
    Urids urids = {};
    double sampleRate = 44100.0;
    int32_t maxBlock = 0;
    bool active = false;
    const LV2_Atom_Sequence* events = nullptr;
    float* outputs[kAudioOutputs] = {};
    EventList pending;
};

inline VstIntPtr dispatch(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                          float opt = 0.0f) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

// Turns the block's MIDI into processEvents calls and renders it. [audio]
void runBlock(Instance& instance, uint32_t frames);

}  // namespace lv2face
