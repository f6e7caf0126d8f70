// The frame loop written the plain way, step by step in the order the
// renderer's contract states it: a copy of the slot, floorf, one branch per
// frame. The unit tests hold the instrument's renderer to it bit for bit and
// the render benchmark measures against it.
#pragma once

#include <cmath>

#include "kit/Pad.h"

namespace straight {

inline void renderSlot(Voice& slot, float** outputs, int frames) {
    float* left = outputs[2 * slot.output];
    float* right = outputs[2 * slot.output + 1];
    if (!slot.active || !slot.sampleData || !left || !right) return;
    Voice v = slot;
    for (int j = 0; j < frames; j++) {
        if (v.position < 1.0f) {
            v.position += 1.0f;
            continue;
        }
        const int n = static_cast<int>(std::floor(v.position));
        const float f = v.position - static_cast<float>(n);
        const float xm1 = v.sampleData[n - 1];
        const float x0 = v.sampleData[n];
        const float x1 = v.sampleData[n + 1];
        const float x2 = v.sampleData[n + 2];
        const float c1 = 0.5f * (x1 - xm1);
        const float c2 = (xm1 + 2.0f * x1) - 0.5f * (x2 + 5.0f * x0);
        const float c3 = 0.5f * (3.0f * (x0 - x1) - xm1 + x2);
        const float s = ((c3 * f + c2) * f + c1) * f + x0;
        v.gainLeft = v.gainLeft * v.gainFactor;
        left[j] += v.gainLeft * s;
        v.gainRight = v.gainRight * v.gainFactor;
        right[j] += v.gainRight * s;
        v.rate = v.rate * v.rateFactor;
        v.position += v.rate;
        if (v.position >= static_cast<float>(v.sampleLength - 3)) {
            v.active = 0;
            break;
        }
    }
    if (v.gainLeft < 0.0001 && v.gainRight < 0.0001) v.active = 0;
    if (v.rate < 0.01) v.active = 0;
    slot = v;
}

inline void renderAll(Voice* voices, int count, float** outputs, int frames) {
    for (int i = 0; i < count; i++) renderSlot(voices[i], outputs, frames);
}

}  // namespace straight
