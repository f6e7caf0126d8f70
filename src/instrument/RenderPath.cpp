#include "instrument/RenderPath.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "instrument/SimdRender.h"
#include "instrument/VoiceRender.h"

namespace {

const char* const kNames[kNumRenderPaths] = {"scalar", "sse2", "avx2", "avx512"};

bool processorHas(RenderPath path) {
#ifdef KZ_RENDER_X86
    __builtin_cpu_init();
    switch (path) {
        case RenderPath::kScalar:
        case RenderPath::kSse2: return true;
        case RenderPath::kAvx2: return __builtin_cpu_supports("avx2");
        case RenderPath::kAvx512: return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f");
    }
    return false;
#else
    return path == RenderPath::kScalar;
#endif
}

// Read once per block; set when the library loads and by useRenderPath.
std::atomic<int> chosen(static_cast<int>(chooseRenderPath(std::getenv("KZ318_SIMD"), processorHas)));

void renderScalar(Voice* voices, float** outputs, int frames) noexcept {
    for (int i = 0; i < kNumVoices; i++) {
        float* left;
        float* right;
        if (voiceOutputs(voices[i], outputs, &left, &right)) renderVoice(voices[i], left, right, frames);
    }
}

}  // namespace

const char* renderPathName(RenderPath path) {
    const int i = static_cast<int>(path);
    return i >= 0 && i < kNumRenderPaths ? kNames[i] : "unknown";
}

bool renderPathFromName(const char* name, RenderPath* path) {
    for (int i = 0; i < kNumRenderPaths; i++) {
        if (std::strcmp(name, kNames[i]) == 0) {
            *path = static_cast<RenderPath>(i);
            return true;
        }
    }
    return false;
}

bool renderPathSupported(RenderPath path) { return processorHas(path); }

RenderPath bestRenderPath() { return chooseRenderPath(nullptr, processorHas); }

RenderPath chooseRenderPath(const char* setting, bool (*runs)(RenderPath)) {
    RenderPath wanted;
    if (setting && renderPathFromName(setting, &wanted) && runs(wanted)) return wanted;
    for (int i = kNumRenderPaths - 1; i > 0; i--)
        if (runs(static_cast<RenderPath>(i))) return static_cast<RenderPath>(i);
    return RenderPath::kScalar;
}

RenderPath currentRenderPath() noexcept { return static_cast<RenderPath>(chosen.load(std::memory_order_relaxed)); }

RenderPath useRenderPath(RenderPath wanted) {
    const RenderPath path = renderPathSupported(wanted) ? wanted : bestRenderPath();
    chosen.store(static_cast<int>(path), std::memory_order_relaxed);
    return path;
}

void renderVoiceTable(Voice* voices, float** outputs, int frames) noexcept {
    switch (currentRenderPath()) {
#ifdef KZ_RENDER_X86
        case RenderPath::kAvx512: renderTableAvx512(voices, outputs, frames); return;
        case RenderPath::kAvx2: renderTableAvx2(voices, outputs, frames); return;
        case RenderPath::kSse2: renderTableSse2(voices, outputs, frames); return;
#endif
        default: renderScalar(voices, outputs, frames); return;
    }
}
