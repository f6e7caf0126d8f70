// What the audio tests need around a DrumInstrument: samples placed in pads,
// eight output buffers and MIDI event lists built the way a host builds them.
#pragma once

#include <cstdlib>
#include <cstring>
#include <vector>

#include "instrument/DrumInstrument.h"

namespace audiokit {

// Frame i holds (i + 1) / 1024: every frame distinct, exact in a float.
inline float rampValue(int i) { return static_cast<float>(i + 1) / 1024.0f; }

// Gives the pad a malloc'd sample of `frames` frames; the instrument frees it.
inline float* placeSample(DrumInstrument& d, int pad, int frames) {
    float* data = static_cast<float*>(std::malloc(sizeof(float) * static_cast<size_t>(frames > 0 ? frames : 1)));
    for (int i = 0; i < frames; i++) data[i] = rampValue(i);
    std::free(d.pads[pad].sampleData);
    d.pads[pad].sampleData = data;
    d.pads[pad].sampleLength = frames;
    return data;
}

// Eight host buffers of one block.
struct Outputs {
    explicit Outputs(int frames, float value = 0.0f) : frames(frames) {
        for (int i = 0; i < kNumOutputs; i++) {
            data[i].assign(static_cast<size_t>(frames), value);
            ptrs[i] = data[i].data();
        }
    }
    void fill(float value) {
        for (auto& d : data) std::fill(d.begin(), d.end(), value);
    }
    float at(int output, int frame) const { return data[output][static_cast<size_t>(frame)]; }
    bool equals(const Outputs& o) const {
        for (int i = 0; i < kNumOutputs; i++)
            if (std::memcmp(data[i].data(), o.data[i].data(), sizeof(float) * data[i].size()) != 0) return false;
        return true;
    }
    int frames;
    std::vector<float> data[kNumOutputs];
    float* ptrs[kNumOutputs];
};

// A VstEvents list with room for up to 64 entries, all owned here.
class Events {
public:
    Events() { clear(); }
    void clear() {
        list.numEvents = 0;
        list.reserved = 0;
    }
    Events& midi(int status, int data1, int data2, int deltaFrames = 0) {
        VstMidiEvent& e = storage[list.numEvents];
        std::memset(&e, 0, sizeof(e));
        e.type = kVstMidiType;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = deltaFrames;
        e.midiData[0] = static_cast<char>(status);
        e.midiData[1] = static_cast<char>(data1);
        e.midiData[2] = static_cast<char>(data2);
        return add(reinterpret_cast<VstEvent*>(&e));
    }
    Events& noteOn(int note, int velocity = 100, int deltaFrames = 0, int channel = 0) {
        return midi(0x90 | channel, note, velocity, deltaFrames);
    }
    Events& controller(int number, int channel = 0) { return midi(0xB0 | channel, number, 0); }
    Events& add(VstEvent* e) {
        entries[list.numEvents++] = e;
        return *this;
    }
    VstEvents* get() { return &list; }

private:
    static const int kCapacity = 64;
    VstMidiEvent storage[kCapacity];
    // VstEvents ends in a nominal array of two pointers; the rest follows it.
    union {
        VstEvents list;
        char room[sizeof(VstEvents) + kCapacity * sizeof(VstEvent*)];
    };
    VstEvent** entries = list.events;
};

inline VstInt32 play(DrumInstrument& d, int note, int velocity = 100, int deltaFrames = 0) {
    Events e;
    e.noteOn(note, velocity, deltaFrames);
    return d.processEvents(e.get());
}

inline int activeVoices(const DrumInstrument& d) {
    int n = 0;
    for (int i = 0; i < kNumVoices; i++) n += d.voices[i].active ? 1 : 0;
    return n;
}

}  // namespace audiokit
