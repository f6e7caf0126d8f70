#include <lv2/atom/util.h>

#include <cstring>

#include "lv2/Instance.h"

namespace lv2face {

namespace {

bool isChannelMessage(const uint8_t* msg, uint32_t size) { return size >= 1 && msg[0] >= 0x80 && msg[0] < 0xF0; }

// Hands the gathered events to the instrument, then renders from `done` up to
// `until`; the next events are timed from there.
void flush(Instance& in, uint32_t& done, uint32_t until) {
    AEffect* e = in.effect;
    if (in.pending.list.numEvents > 0) {
        dispatch(e, effProcessEvents, 0, 0, &in.pending.list);
        in.pending.list.numEvents = 0;
    }
    if (until <= done) return;
    float* outputs[kAudioOutputs];
    for (int i = 0; i < kAudioOutputs; i++) outputs[i] = in.outputs[i] ? in.outputs[i] + done : nullptr;
    e->processReplacing(e, nullptr, outputs, static_cast<VstInt32>(until - done));
    done = until;
}

}  // namespace

void runBlock(Instance& in, uint32_t frames) {
    uint32_t done = 0;
    in.pending.list.numEvents = 0;
    in.pending.list.reserved = 0;
    const LV2_Atom_Sequence* seq = in.events;
    if (seq && seq->atom.type == in.urids.atomSequence) {
        LV2_ATOM_SEQUENCE_FOREACH(seq, ev) {
            if (ev->body.type != in.urids.midiEvent) continue;
            const uint8_t* msg = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&ev->body));
            if (!isChannelMessage(msg, ev->body.size)) continue;
            // A stamp past the block, or before a split already rendered, plays on
            // the nearest frame still to come.
            int64_t stamp = ev->time.frames;
            uint32_t frame = stamp < 0 ? 0 : (stamp >= int64_t(frames) ? (frames ? frames - 1 : 0) : uint32_t(stamp));
            if (frame < done) frame = done;
            if (in.pending.list.numEvents == kEventCapacity) flush(in, done, frame);
            VstMidiEvent& m = in.pending.storage[in.pending.list.numEvents];
            std::memset(&m, 0, sizeof(m));
            m.type = kVstMidiType;
            m.byteSize = sizeof(VstMidiEvent);
            m.deltaFrames = static_cast<VstInt32>(frame - done);
            const uint32_t size = ev->body.size < 3 ? ev->body.size : 3;
            for (uint32_t b = 0; b < size; b++) m.midiData[b] = static_cast<char>(msg[b]);
            // The list's pointers run on past its nominal two into the room behind it.
            VstEvent** slots = in.pending.list.events;
            slots[in.pending.list.numEvents++] = reinterpret_cast<VstEvent*>(&m);
        }
    }
    flush(in, done, frames);
}

}  // namespace lv2face
