#include "face/EventBatcher.h"

#include <cstring>

namespace face {

void EventBatcher::begin(AEffect* e, float* const* out, uint32_t blockFrames) noexcept {
    effect = e;
    for (int i = 0; i < kAudioOutputs; i++) outputs[i] = out ? out[i] : nullptr;
    frames = blockFrames;
    done = 0;
    list.numEvents = 0;
    list.reserved = 0;
}

void EventBatcher::add(int64_t stamp, const uint8_t* msg, uint32_t size) noexcept {
    if (!msg || size < 1 || msg[0] < 0x80 || msg[0] >= 0xF0) return;
    uint32_t frame = stamp < 0 ? 0 : (stamp >= int64_t(frames) ? (frames ? frames - 1 : 0) : uint32_t(stamp));
    if (frame < done) frame = done;
    if (list.numEvents == kCapacity) flush(frame);
    VstMidiEvent& m = storage[list.numEvents];
    std::memset(&m, 0, sizeof(m));
    m.type = kVstMidiType;
    m.byteSize = sizeof(VstMidiEvent);
    m.deltaFrames = static_cast<VstInt32>(frame - done);
    const uint32_t n = size < 3 ? size : 3;
    for (uint32_t b = 0; b < n; b++) m.midiData[b] = static_cast<char>(msg[b]);
    // The list's pointers run on past its nominal two into the room behind it.
    VstEvent** slots = list.events;
    slots[list.numEvents++] = reinterpret_cast<VstEvent*>(&m);
}

void EventBatcher::finish() noexcept { flush(frames); }

// Hands the gathered events to the instrument, then renders from `done` up to
// `until`; the next events are timed from there.
void EventBatcher::flush(uint32_t until) noexcept {
    if (list.numEvents > 0) {
        effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
        list.numEvents = 0;
    }
    if (until <= done) return;
    float* out[kAudioOutputs];
    for (int i = 0; i < kAudioOutputs; i++) out[i] = outputs[i] ? outputs[i] + done : nullptr;
    effect->processReplacing(effect, nullptr, out, static_cast<VstInt32>(until - done));
    done = until;
}

}  // namespace face
