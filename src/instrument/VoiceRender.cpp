#include "instrument/VoiceRender.h"

namespace {
const double kGainFloor = 0.0001;
const double kRateFloor = 0.01;
// Whole numbers up to this size step by 1.0 exactly in a float.
const float kExactWhole = 16777216.0f;
}  // namespace

// Every operation below is a 32-bit float operation in a fixed order, so the
// output is the same on every build. The read position is at least 1.0 in the
// sounding loop, which makes truncation equal to floor. left and right may be
// one buffer (some hosts hand out a shared scratch buffer), so only the sample
// is declared unaliased.
void renderVoice(Voice& voice, float* left, float* right, int frames) noexcept {
    const float* __restrict data = voice.sampleData;
    const float rateFactor = voice.rateFactor;
    const float gainFactor = voice.gainFactor;
    const float end = static_cast<float>(voice.sampleLength - 3);
    float gainLeft = voice.gainLeft;
    float gainRight = voice.gainRight;
    float rate = voice.rate;
    float position = voice.position;
    uint8_t active = 1;

    for (int j = runStartOffset(position, frames); j < frames; j++) {
        const int n = static_cast<int>(position);
        const float f = position - static_cast<float>(n);
        const float* x = data + n - 1;
        const float xm1 = x[0], x0 = x[1], x1 = x[2], x2 = x[3];
        const float c1 = 0.5f * (x1 - xm1);
        const float c2 = (xm1 + 2.0f * x1) - 0.5f * (x2 + 5.0f * x0);
        const float c3 = 0.5f * (3.0f * (x0 - x1) - xm1 + x2);
        const float s = ((c3 * f + c2) * f + c1) * f + x0;
        gainLeft *= gainFactor;
        left[j] += gainLeft * s;
        gainRight *= gainFactor;
        right[j] += gainRight * s;
        rate *= rateFactor;
        position += rate;
        if (position >= end) {
            active = 0;
            break;
        }
    }

    voice.gainLeft = gainLeft;
    voice.gainRight = gainRight;
    voice.rate = rate;
    voice.position = position;
    voice.active = activeAfterBlock(voice, active);
}

bool voiceOutputs(const Voice& voice, float** outputs, float** left, float** right) noexcept {
    if (!voice.active || !voice.sampleData || voice.output < 0 || voice.output >= kNumOutputs / 2) return false;
    *left = outputs[2 * voice.output];
    *right = outputs[2 * voice.output + 1];
    return *left && *right;
}

// A whole-numbered position (every position the note handler sets) jumps in
// one step; the sum is exact, so it equals the frame-by-frame additions.
int runStartOffset(float& position, int frames) noexcept {
    if (frames > 0 && position < 1.0f && position >= -kExactWhole) {
        const int whole = static_cast<int>(position);
        if (static_cast<float>(whole) == position) {
            const int wait = 1 - whole < frames ? 1 - whole : frames;
            position = static_cast<float>(whole + wait);
            return wait;
        }
    }
    int j = 0;
    while (j < frames && position < 1.0f) {
        position += 1.0f;
        j++;
    }
    return j;
}

uint8_t activeAfterBlock(const Voice& voice, uint8_t active) noexcept {
    if (voice.gainLeft < kGainFloor && voice.gainRight < kGainFloor) return 0;
    if (voice.rate < kRateFloor) return 0;
    return active;
}
