// Sixteen voices on all four pairs, decays on, pitches off 0.5, in blocks of
// 64, 256 and 1024 frames: the instrument's renderer on each instruction set
// this processor has, against the plain frame loop, measured in the same run.
//
// Prints, per path: render: <ns> ns/voice-frame, <x> x realtime (16 voices at
//         44100 Hz), <r> x the straightforward loop (<path>)
// (--detail adds one line per path and block size).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "instrument/RenderPath.h"
#include "support/AudioKit.h"
#include "support/StraightRender.h"

namespace {

const int kSampleFrames = 1 << 17;
const int kBlockSizes[] = {64, 256, 1024};
const int kMaxBlock = 1024;

// One instrument with sixteen sounding voices and the table they started from.
struct Kit {
    Kit() : instrument(nullptr), out(kMaxBlock) {
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
        audiokit::Events notes;
        for (int p = 0; p < kNumPads; p++) {
            float* data = audiokit::placeSample(instrument, p, kSampleFrames);
            for (int i = 0; i < kSampleFrames; i++) data[i] = noise(rng);
            Pad& pad = instrument.pads[p];
            pad.output = p % 4;
            pad.pitch = 0.3f + 0.025f * static_cast<float>(p);
            pad.pitchDecay = 0.05f;
            pad.ampDecay = 0.1f;
            pad.pan = 0.2f + 0.04f * static_cast<float>(p);
            notes.noteOn(48 + p, 100);
        }
        instrument.processEvents(notes.get());
        std::copy(instrument.voices, instrument.voices + kNumVoices, start);
    }
    // A voice that ran out starts over, so that sixteen always sound.
    static void restart(Voice* voices, const Voice* start) {
        for (int i = 0; i < kNumVoices; i++)
            if (!voices[i].active) voices[i] = start[i];
    }
    DrumInstrument instrument;
    audiokit::Outputs out;
    Voice start[kNumVoices];
};

Kit& kit() {
    static Kit k;
    return k;
}

void renderFast(benchmark::State& state, RenderPath path, int frames) {
    useRenderPath(path);
    Kit& k = kit();
    std::copy(k.start, k.start + kNumVoices, k.instrument.voices);
    for (auto _ : state) {
        k.instrument.process(nullptr, k.out.ptrs, frames);
        Kit::restart(k.instrument.voices, k.start);
        benchmark::ClobberMemory();
    }
}

void renderStraight(benchmark::State& state, int frames) {
    Kit& k = kit();
    Voice voices[kNumVoices];
    std::copy(k.start, k.start + kNumVoices, voices);
    for (auto _ : state) {
        straight::renderAll(voices, kNumVoices, k.out.ptrs, frames);
        Kit::restart(voices, k.start);
        benchmark::ClobberMemory();
    }
}

// The two renderers must agree before their speeds are worth comparing.
bool sameOutput(RenderPath path) {
    useRenderPath(path);
    Kit& k = kit();
    audiokit::Outputs fast(kMaxBlock), plain(kMaxBlock);
    Voice voices[kNumVoices];
    std::copy(k.start, k.start + kNumVoices, voices);
    std::copy(k.start, k.start + kNumVoices, k.instrument.voices);
    for (int block = 0; block < 300; block++) {
        const int frames = kBlockSizes[block % 3];
        k.instrument.process(nullptr, fast.ptrs, frames);
        straight::renderAll(voices, kNumVoices, plain.ptrs, frames);
        Kit::restart(k.instrument.voices, k.start);
        Kit::restart(voices, k.start);
    }
    return fast.equals(plain);
}

// Keeps the fastest repetition of each benchmark: the least disturbed one.
class Collector : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
            const std::string name = r.run_name.function_name;
            auto it = best.find(name);
            const double ns = r.GetAdjustedCPUTime();
            if (it == best.end() || ns < it->second) best[name] = ns;
        }
    }
    std::map<std::string, double> best;
};

double nsPerVoiceFrame(double blockNs, int frames) { return blockNs / (kNumVoices * static_cast<double>(frames)); }

}  // namespace

int main(int argc, char** argv) {
    bool detail = false;
    for (int i = 1; i < argc; i++) detail = detail || std::strcmp(argv[i], "--detail") == 0;
    std::vector<RenderPath> paths;
    for (int i = 0; i < kNumRenderPaths; i++)
        if (renderPathSupported(static_cast<RenderPath>(i))) paths.push_back(static_cast<RenderPath>(i));
    for (RenderPath path : paths) {
        if (!sameOutput(path)) {
            std::printf("render: output differs from the straightforward loop (%s)\n", renderPathName(path));
            return 1;
        }
    }
    for (int frames : kBlockSizes) {
        const std::string size = std::to_string(frames);
        for (RenderPath path : paths)
            benchmark::RegisterBenchmark((std::string(renderPathName(path)) + "/" + size).c_str(), renderFast, path,
                                         frames)
                ->Unit(benchmark::kNanosecond)
                ->MinTime(0.1)
                ->Repetitions(5);
        benchmark::RegisterBenchmark(("straight/" + size).c_str(), renderStraight, frames)
            ->Unit(benchmark::kNanosecond)
            ->MinTime(0.1)
            ->Repetitions(5);
    }
    int benchArgc = 1;
    benchmark::Initialize(&benchArgc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    double plain = 0.0;
    for (int frames : kBlockSizes)
        plain += nsPerVoiceFrame(collector.best["straight/" + std::to_string(frames)], frames) / 3.0;
    for (RenderPath path : paths) {
        double fast = 0.0;
        for (int frames : kBlockSizes) {
            const std::string name = renderPathName(path);
            const double f = nsPerVoiceFrame(collector.best[name + "/" + std::to_string(frames)], frames);
            const double p = nsPerVoiceFrame(collector.best["straight/" + std::to_string(frames)], frames);
            if (detail)
                std::printf("render/%s/%d: %.2f ns/voice-frame, straightforward %.2f\n", name.c_str(), frames, f, p);
            fast += f / 3.0;
        }
        const double realtime = 1e9 / (fast * kNumVoices * 44100.0);
        std::printf(
            "render: %.2f ns/voice-frame, %.0f x realtime (16 voices at 44100 Hz), %.2f x the straightforward "
            "loop (%s)\n",
            fast, realtime, plain / fast, renderPathName(path));
    }
    return 0;
}
