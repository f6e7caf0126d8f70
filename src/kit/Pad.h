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
    uint8_t solo;
    float pitch;
    float pitchDecay;
    float ampDecay;
    float pan;
    float volume;
};

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
