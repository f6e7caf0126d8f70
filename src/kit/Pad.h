// The pad and voice records. Plain structures: the editor, the loaders and the
// renderer read and write their fields directly (see the thread tags in
// DrumInstrument.h).
#pragma once

#include <cstdint>

// The rate every pad sample is stored at; the loaders convert to it.
const int32_t kPadSampleRate = 44100;

// Written by the editor [editor] and the loaders; read at note-on [audio].
// samplePath, sampleData and sampleLength change only under the handshake.
struct Pad {
    char* samplePath;   // 260-byte heap buffer, or null when the pad is empty
    float* sampleData;  // mono frames at kPadSampleRate (malloc'd), or null
    int32_t sampleLength;
    int32_t midiNote;
    int32_t output;
    int32_t choke;
    uint8_t mute;
    uint8_t solo;  // through padSolo / setPadSolo only
    float pitch;
    float pitchDecay;
    float ampDecay;
    float pan;
    float volume;
};

// The editor flips a pad's solo flag while a loader or the audio thread may
// be reading the flags; relaxed atomic access keeps that well defined.
inline bool padSolo(const Pad& p) { return __atomic_load_n(&p.solo, __ATOMIC_RELAXED) != 0; }
inline void setPadSolo(Pad& p, bool on) { __atomic_store_n(&p.solo, static_cast<uint8_t>(on ? 1 : 0), __ATOMIC_RELAXED); }

// Owned by the audio thread [audio]; a loader clears `active` of the voices
// that play a sample it frees, while the handshake holds the audio off.
struct Voice {
    uint8_t active;
    int32_t midiNote;
    int32_t output;
    float gainLeft;
    float gainRight;
    float rate;
    float position;
    float rateFactor;
    float gainFactor;
    const float* sampleData;
    int32_t sampleLength;
};

const int kNumPads = 16;
const int kNumVoices = 16;
const int kNumOutputs = 8;
const int kPathSize = 260;
