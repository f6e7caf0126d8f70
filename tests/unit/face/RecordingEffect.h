// An effect record that only records what a face hands it: each
// processEvents list (copied) and each render with its output pointers.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "vst/aeffect.h"

namespace facetest {

const int kChannels = 8;

struct Midi {
    VstInt32 type, byteSize, deltaFrames;
    uint8_t bytes[4];
};

struct Call {
    bool render = false;
    std::vector<Midi> events;              // a processEvents call
    VstInt32 frames = 0;                   // a render
    const float* outputs[kChannels] = {};  // a render's channel pointers
    VstIntPtr value = 0;                   // another request's value
    VstInt32 opcode = 0;
};

class RecordingEffect {
public:
    RecordingEffect() {
        effect.magic = kEffectMagic;
        effect.object = this;
        effect.dispatcher = dispatcher;
        effect.processReplacing = processReplacing;
    }
    RecordingEffect(const RecordingEffect&) = delete;
    RecordingEffect& operator=(const RecordingEffect&) = delete;

    AEffect* get() { return &effect; }
    int count(VstInt32 opcode) const {
        int n = 0;
        for (const Call& c : calls) n += !c.render && c.opcode == opcode;
        return n;
    }

    AEffect effect = {};
    std::vector<Call> calls;
    // What effGetChunk gives.
    void* chunkData = nullptr;
    VstIntPtr chunkSize = 0;

private:
    static RecordingEffect& of(AEffect* e) { return *static_cast<RecordingEffect*>(e->object); }

    static VstIntPtr VSTCALL dispatcher(AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr value, void* ptr, float) {
        RecordingEffect& self = of(e);
        Call call;
        call.opcode = opcode;
        call.value = value;
        if (opcode == effProcessEvents) {
            const VstEvents* list = static_cast<const VstEvents*>(ptr);
            for (VstInt32 i = 0; i < list->numEvents; i++) {
                const VstMidiEvent* m = reinterpret_cast<const VstMidiEvent*>(list->events[i]);
                Midi midi = {m->type, m->byteSize, m->deltaFrames, {}};
                std::memcpy(midi.bytes, m->midiData, 4);
                call.events.push_back(midi);
            }
        }
        self.calls.push_back(call);
        if (opcode == effGetChunk && ptr) {
            *static_cast<void**>(ptr) = self.chunkData;
            return self.chunkSize;
        }
        return 0;
    }

    static void VSTCALL processReplacing(AEffect* e, float**, float** outputs, VstInt32 frames) {
        Call call;
        call.render = true;
        call.frames = frames;
        for (int i = 0; i < kChannels; i++) call.outputs[i] = outputs ? outputs[i] : nullptr;
        of(e).calls.push_back(call);
    }
};

}  // namespace facetest
