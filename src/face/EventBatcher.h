// Turns a block's MIDI into processEvents calls and renders the block.
// The instrument acts on a call's events before rendering, so a block is
// handed over in one list and split only where more events arrive than the
// preallocated list holds: the output then equals a VST 2 host's for the
// same events and block. [audio]: no allocation, lock or system call.
#pragma once

#include <cstdint>

#include "vst/aeffect.h"

namespace face {

const int kAudioOutputs = 8;

class EventBatcher {
public:
    // Events one processEvents call carries.
    static constexpr int kCapacity = 256;

    // Starts a block of `frames` frames rendering into `outputs` (eight
    // channels; a null channel is not written).
    void begin(AEffect* effect, float* const* outputs, uint32_t frames) noexcept;
    // Adds a channel message (status 0x80..0xEF; anything else is ignored) at
    // `frame`. A frame past the block, or before a split already rendered,
    // plays on the nearest frame still to come. Bytes past three are dropped.
    void add(int64_t frame, const uint8_t* message, uint32_t size) noexcept;
    // Hands over what is pending and renders the rest of the block.
    void finish() noexcept;

private:
    void flush(uint32_t until) noexcept;

    AEffect* effect = nullptr;
    float* outputs[kAudioOutputs] = {};
    uint32_t frames = 0;
    uint32_t done = 0;
    // VstEvents ends in a nominal array of two pointers; the rest of the list
    // follows it in the same block.
    union {
        VstEvents list;
        char room[sizeof(VstEvents) + kCapacity * sizeof(VstEvent*)];
    };
    VstMidiEvent storage[kCapacity];
};

}  // namespace face
