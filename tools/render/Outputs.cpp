#include "render/Outputs.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace render {

std::string stemName(const std::string& out, int pair) {
    std::string base = out;
    if (base.size() > 4 &&
        (base.compare(base.size() - 4, 4, ".wav") == 0 || base.compare(base.size() - 4, 4, ".WAV") == 0))
        base.resize(base.size() - 4);
    return base + "-" + std::to_string(pair + 1) + ".wav";
}

bool Outputs::open(const std::string& out, bool stems, int rate, std::string& failed) {
    stems_ = stems;
    names_.clear();
    if (stems)
        for (int pair = 0; pair < 4; pair++) names_.push_back(stemName(out, pair));
    else
        names_.push_back(out);
    for (const std::string& name : names_) {
        files_.push_back(std::make_unique<wavout::StereoFloatWriter>());
        if (!files_.back()->open(name, rate)) {
            failed = name;
            return false;
        }
    }
    return true;
}

namespace {

void interleave(const float* __restrict left, const float* __restrict right, float* __restrict out, int frames) {
    for (int j = 0; j < frames; j++) {
        out[2 * j] = left[j];
        out[2 * j + 1] = right[j];
    }
}

// One channel of the mix, summed from zero in pair order, so that every
// build adds alike (and a lone -0.0 becomes +0.0, as it always has).
void mixChannel(const float* const* outputs, int channel, float* __restrict sum, int frames) {
    const float* __restrict a = outputs[channel];
    const float* __restrict b = outputs[channel + 2];
    const float* __restrict c = outputs[channel + 4];
    const float* __restrict d = outputs[channel + 6];
    for (int j = 0; j < frames; j++) sum[j] = (((0.0f + a[j]) + b[j]) + c[j]) + d[j];
}

// The largest of peak and |x[i]|, NaNs passed over, as a running
// std::max(peak, |x|) gives; the maximum does not depend on the order.
float peakOf(const float* x, int n, float peak) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    __m128 lanes = _mm_set1_ps(peak);
    // A NaN in the first operand yields the second.
    for (; i + 4 <= n; i += 4) lanes = _mm_max_ps(_mm_and_ps(_mm_loadu_ps(x + i), magnitude), lanes);
    float lane[4];
    _mm_storeu_ps(lane, lanes);
    for (float l : lane) peak = std::max(peak, l);
#endif
    for (; i < n; i++) peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

}  // namespace

bool Outputs::write(const float* const* outputs, int frames) {
    const size_t n = static_cast<size_t>(frames);
    if (stems_) {
        bool ok = true;
        for (int pair = 0; pair < 4; pair++) {
            interleave(outputs[2 * pair], outputs[2 * pair + 1], files_[pair]->reserve(n), frames);
            ok = files_[pair]->commit(n) && ok;
        }
        return ok;
    }
    if (left_.size() < n) {
        left_.resize(n);
        right_.resize(n);
    }
    mixChannel(outputs, 0, left_.data(), frames);
    mixChannel(outputs, 1, right_.data(), frames);
    peak_ = peakOf(right_.data(), frames, peakOf(left_.data(), frames, peak_));
    interleave(left_.data(), right_.data(), files_[0]->reserve(n), frames);
    return files_[0]->commit(n);
}

bool Outputs::finish(std::string& failed) {
    for (size_t i = 0; i < files_.size(); i++)
        if (!files_[i]->finish()) {
            failed = names_[i];
            discard();
            return false;
        }
    return true;
}

void Outputs::discard() {
    for (auto& f : files_) f->discard();
}

}  // namespace render
