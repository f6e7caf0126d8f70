// The five number-to-text tools. Each writes at most eight characters and a
// terminating NUL, so hosts that reserve the customary 8+1 bytes are safe.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/EffectBase.h"

namespace {
const char kHuge[] = " Huge!  ";
const char kMinusInfinity[] = "  -oo   ";
}  // namespace

void EffectBase::float2string(float value, char* text) {
    double v = value;
    if (std::isnan(v)) {  // no digits to give; keep the text well-formed
        std::strcpy(text, kHuge);
        return;
    }
    int k = 0;
    bool negative = false;
    if (v < 0.0) {
        negative = true;
        v = -v;
        k = 1;
        if (v > 9999999.0) {
            std::strcpy(text, kHuge);
            return;
        }
    } else if (v > 99999999.0) {
        std::strcpy(text, kHuge);
        return;
    }

    // Integer part, built right to left ending in the point.
    char scratch[16];
    int start = sizeof(scratch) - 1;
    scratch[start] = 0;
    scratch[--start] = '.';
    k++;
    double n = std::floor(v);
    scratch[--start] = static_cast<char>('0' + static_cast<int>(std::fmod(n, 10.0)));
    n /= 10.0;
    k++;
    while (n >= 1.0 && k < 8) {
        scratch[--start] = static_cast<char>('0' + static_cast<int>(std::fmod(n, 10.0)));
        n /= 10.0;
        k++;
    }
    if (negative) scratch[--start] = '-';
    std::strcpy(text, scratch + start);
    if (k >= 8) return;

    // Fraction digits, truncated, never rounded.
    int digits = 8 - k;
    double m = std::fmod(v, 1.0) * std::pow(10.0, static_cast<double>(digits));
    char fraction[9];
    fraction[digits] = 0;
    for (int i = digits - 1; i >= 0; i--) {
        if (m > 0.0) {
            fraction[i] = static_cast<char>('0' + static_cast<int>(std::fmod(m, 10.0)));
            m /= 10.0;
        } else {
            fraction[i] = '0';
        }
    }
    std::strcat(text, fraction);
}

void EffectBase::dB2string(float value, char* text) {
    if (value <= 0.0f) {
        std::strcpy(text, kMinusInfinity);
        return;
    }
    float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text);
}

void EffectBase::Hz2string(float samples, char* text) {
    if (samples == 0.0f) {
        float2string(0.0f, text);
        return;
    }
    float2string(getSampleRate() / samples, text);
}

void EffectBase::ms2string(float samples, char* text) {
    float2string(static_cast<float>(samples * 1000.0 / getSampleRate()), text);
}

void EffectBase::long2string(VstInt32 value, char* text) {
    if (value >= 100000000) {
        std::strcpy(text, kHuge);
        return;
    }
    char scratch[16];
    std::snprintf(scratch, sizeof(scratch), "%7d", static_cast<int>(value));
    scratch[8] = 0;
    std::strcpy(text, scratch);
}
