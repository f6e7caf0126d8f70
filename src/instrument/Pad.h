// The pad and voice records. Plain structures: the editor, the loaders and the
// renderer read and write their fields directly.
#pragma once

#include <cstdint>

struct Pad {
    char* samplePath;   // 260-byte heap buffer, or null when the pad is empty
    float* sampleData;  // mono frames at 44100 Hz (malloc'd), or null
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
