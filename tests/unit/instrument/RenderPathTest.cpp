// Every render path (scalar, SSE2, AVX2, AVX-512, as far as this processor
// has them) against the straightforward frame loop, on random voice tables
// set up field by field: every output bit and every voice field must match.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

#include "instrument/RenderPath.h"
#include "support/AudioKit.h"
#include "support/StraightRender.h"

namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof(float)) == 0; }

// Puts back the path in use when a test has forced another.
class PathScope {
public:
    PathScope() : saved(currentRenderPath()) {}
    ~PathScope() { useRenderPath(saved); }

private:
    RenderPath saved;
};

std::vector<RenderPath> supportedPaths() {
    std::vector<RenderPath> paths;
    for (int i = 0; i < kNumRenderPaths; i++)
        if (renderPathSupported(static_cast<RenderPath>(i))) paths.push_back(static_cast<RenderPath>(i));
    return paths;
}

// Made from bits: an arithmetic way would flush it to zero where the test
// runs with flush-to-zero on.
float denormal(std::mt19937& rng) {
    const uint32_t bits = (rng() & 0x807FFFFFu) | 1u;
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

bool chance(std::mt19937& rng, double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p; }
float uniform(std::mt19937& rng, float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
int below(std::mt19937& rng, int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

enum class SampleKind {
    kPlain,    // noise with exact zeros of both signs
    kHostile,  // also infinities, huge values and denormals
    kNaN,      // also NaNs
};

// Sample buffers that outlive the voice tables playing them.
class Samples {
public:
    const float* make(std::mt19937& rng, int length, SampleKind kind) {
        buffers.emplace_back(static_cast<size_t>(length));
        std::vector<float>& b = buffers.back();
        for (float& x : b) {
            x = uniform(rng, -1.0f, 1.0f);
            if (chance(rng, 0.05)) x = 0.0f;
            if (chance(rng, 0.05)) x = -0.0f;
            if (kind != SampleKind::kPlain) {
                if (chance(rng, 0.01))
                    x = chance(rng, 0.5) ? -std::numeric_limits<float>::infinity()
                                         : std::numeric_limits<float>::infinity();
                if (chance(rng, 0.02)) x *= 3e38f;
                if (chance(rng, 0.02)) x = denormal(rng);
            }
            if (kind == SampleKind::kNaN && chance(rng, 0.002)) x = std::nanf("");
        }
        return b.data();
    }

private:
    std::vector<std::vector<float>> buffers;
};

// Set up field by field, covering what the renderer must tell apart: rate
// 1.0 with and without decays, other rates, start offsets inside and beyond
// the block, positions near the end, silent and fading gains.
Voice randomVoice(std::mt19937& rng, Samples& samples, int frames, SampleKind kind, double activeShare) {
    Voice v{};
    v.active = chance(rng, activeShare) ? 1 : 0;
    v.midiNote = 48;
    v.output = below(rng, 4);
    v.sampleLength = 4 + below(rng, chance(rng, 0.8) ? 3000 : 20000);
    v.sampleData = chance(rng, 0.03) ? nullptr : samples.make(rng, v.sampleLength, kind);
    v.rate = chance(rng, 0.45) ? 1.0f : uniform(rng, 0.5f, 2.0f);
    v.rateFactor = chance(rng, 0.55) ? 1.0f : (chance(rng, 0.8) ? 1.0f - uniform(rng, 0.0f, 7.0f) / 44100.0f : 0.995f);
    v.gainFactor = chance(rng, 0.55) ? 1.0f : (chance(rng, 0.8) ? 1.0f - uniform(rng, 0.0f, 20.0f) / 44100.0f : 0.97f);
    v.gainLeft = chance(rng, 0.1) ? 0.0f : (chance(rng, 0.05) ? 5e-5f : uniform(rng, 0.0f, 2.0f));
    v.gainRight = chance(rng, 0.1) ? 0.0f : (chance(rng, 0.05) ? 5e-5f : uniform(rng, 0.0f, 2.0f));
    const float end = static_cast<float>(v.sampleLength - 3);
    switch (below(rng, 5)) {
        case 0:  // a start offset, often beyond the block
            v.position = -static_cast<float>(below(rng, 2 * frames + 2));
            break;
        case 1:  // a whole position inside the sample
            v.position = static_cast<float>(1 + below(rng, v.sampleLength - 4));
            break;
        case 2:  // a whole position close to the end
            v.position = std::fmax(1.0f, end - static_cast<float>(below(rng, frames + 1)) - 1.0f);
            break;
        case 3:  // anywhere close to the end
            v.position = std::fmax(1.0f, end - uniform(rng, 0.01f, 2.0f * static_cast<float>(frames)));
            break;
        default: v.position = uniform(rng, 1.0f, end); break;
    }
    if (v.position >= end) v.position = 1.0f;
    return v;
}

// The eight host buffers of a block, laid out as hosts do it: one per output,
// one per pair (left and right the same buffer), or one for all; now and then
// a missing one.
class HostBuffers {
public:
    HostBuffers(std::mt19937& rng, int frames, int layout, bool someMissing) : frames(frames) {
        for (int i = 0; i < kNumOutputs; i++) {
            store[i].assign(static_cast<size_t>(frames), 0.0f);
            const int shared = layout == 0 ? i : (layout == 1 ? i & ~1 : 0);
            ptrs[i] = store[shared].data();
            if (someMissing && chance(rng, 0.15)) ptrs[i] = nullptr;
        }
    }
    void fill(std::mt19937& rng, bool denormals) {
        for (auto& b : store) {
            for (float& x : b) {
                x = uniform(rng, -0.5f, 0.5f);
                if (chance(rng, 0.2)) x = chance(rng, 0.5) ? 0.0f : -0.0f;
                if (denormals && chance(rng, 0.3)) x = denormal(rng);
            }
        }
    }
    // The same values in the same layout.
    HostBuffers(const HostBuffers& o) : frames(o.frames) {
        for (int i = 0; i < kNumOutputs; i++) {
            store[i] = o.store[i];
            ptrs[i] = nullptr;
            for (int k = 0; k < kNumOutputs; k++)
                if (o.ptrs[i] == o.store[k].data()) ptrs[i] = store[k].data();
        }
    }
    HostBuffers& operator=(const HostBuffers&) = delete;
    // The index of the first differing value, or -1. Two NaNs may differ in
    // their sign and payload when asked.
    long firstDifference(const HostBuffers& o, bool anyNaN) const {
        for (int i = 0; i < kNumOutputs; i++)
            for (int j = 0; j < frames; j++) {
                const float a = store[i][j], b = o.store[i][j];
                if (!sameBits(a, b) && !(anyNaN && std::isnan(a) && std::isnan(b)))
                    return static_cast<long>(i) * frames + j;
            }
        return -1;
    }
    int frames;
    std::vector<float> store[kNumOutputs];
    float* ptrs[kNumOutputs];
};

::testing::AssertionResult sameVoices(const Voice* got, const Voice* want) {
    for (int i = 0; i < kNumVoices; i++) {
        const Voice& a = got[i];
        const Voice& b = want[i];
        if (a.active != b.active || !sameBits(a.position, b.position) || !sameBits(a.rate, b.rate) ||
            !sameBits(a.gainLeft, b.gainLeft) || !sameBits(a.gainRight, b.gainRight) || a.output != b.output ||
            a.rateFactor != b.rateFactor || a.gainFactor != b.gainFactor || a.sampleData != b.sampleData ||
            a.sampleLength != b.sampleLength)
            return ::testing::AssertionFailure()
                   << "slot " << i << ": active " << int(a.active) << "/" << int(b.active) << " position " << a.position
                   << "/" << b.position << " rate " << a.rate << "/" << b.rate << " gains " << a.gainLeft << ","
                   << a.gainRight << "/" << b.gainLeft << "," << b.gainRight;
    }
    return ::testing::AssertionSuccess();
}

// What the random tables exercised, so that a generator gone quiet shows.
struct Coverage {
    long blocks = 0;
    long exactFrames = 0;      // frames sounded by voices at rate 1.0 without decays
    long endedInBlock = 0;     // voices that reached their sample's end before the block's end
    long startedInBlock = 0;   // voices whose start offset ran out inside the block
    long fadedOrSlowed = 0;    // voices dropped by the end-of-block tests
    long fewVoiceBlocks = 0;   // 1 or 2 voices
    long someVoiceBlocks = 0;  // 3 to 8
    long manyVoiceBlocks = 0;  // 9 or more
};

void count(Coverage& c, const Voice* before, const Voice* after, int frames) {
    int sounding = 0;
    for (int i = 0; i < kNumVoices; i++) {
        const Voice& b = before[i];
        const Voice& a = after[i];
        if (!b.active || a.position == b.position) continue;
        sounding++;
        if (b.rate == 1.0f && b.rateFactor == 1.0f && b.gainFactor == 1.0f && b.position >= 1.0f)
            c.exactFrames += static_cast<long>(a.position - b.position);
        if (b.position < 1.0f && a.position >= 1.0f && b.position > 1.0f - static_cast<float>(frames))
            c.startedInBlock++;
        const bool atEnd = a.position >= static_cast<float>(a.sampleLength - 3);
        if (!a.active && atEnd && a.position < b.position + static_cast<float>(frames) * 0.5f) c.endedInBlock++;
        if (!a.active && !atEnd) c.fadedOrSlowed++;
    }
    c.blocks++;
    if (sounding > 0 && sounding <= 2) c.fewVoiceBlocks++;
    if (sounding > 2 && sounding <= 8) c.someVoiceBlocks++;
    if (sounding > 8) c.manyVoiceBlocks++;
}

int randomBlockSize(std::mt19937& rng) {
    switch (below(rng, 4)) {
        case 0: return 1 + below(rng, 20);
        case 1: return 1 + below(rng, 300);
        case 2: return 16 * (1 + below(rng, 64));
        default: return 1 + below(rng, 4096);
    }
}

struct TableRun {
    SampleKind kind = SampleKind::kPlain;
    bool denormalOutputs = false;
    int tables = 200;
};

// Random tables through the forced path and through the frame loop, a few
// blocks each, every output and voice compared after every block.
void compareOnRandomTables(RenderPath path, unsigned seed, const TableRun& run, Coverage& coverage) {
    std::mt19937 rng(seed);
    for (int table = 0; table < run.tables; table++) {
        Samples samples;
        const int firstFrames = randomBlockSize(rng);
        const double shares[] = {0.1, 0.3, 0.55, 0.95};  // one by one, in lanes, or both
        const double activeShare = shares[below(rng, 4)];
        Voice mine[kNumVoices], reference[kNumVoices];
        for (int i = 0; i < kNumVoices; i++)
            mine[i] = reference[i] = randomVoice(rng, samples, firstFrames, run.kind, activeShare);
        const int layout = below(rng, 3);
        const bool someMissing = chance(rng, 0.3);
        for (int block = 0; block < 4; block++) {
            const int frames = block == 0 ? firstFrames : randomBlockSize(rng);
            HostBuffers got(rng, frames, layout, someMissing);
            got.fill(rng, run.denormalOutputs);
            HostBuffers want(got);
            Voice before[kNumVoices];
            std::copy(reference, reference + kNumVoices, before);

            useRenderPath(path);
            renderVoiceTable(mine, got.ptrs, frames);
            straight::renderAll(reference, kNumVoices, want.ptrs, frames);

            ASSERT_EQ(got.firstDifference(want, run.kind == SampleKind::kNaN), -1)
                << renderPathName(path) << " table " << table << " block " << block << " frames " << frames
                << " layout " << layout;
            ASSERT_TRUE(sameVoices(mine, reference))
                << renderPathName(path) << " table " << table << " block " << block << " frames " << frames;
            count(coverage, before, reference, frames);
        }
    }
}

void expectCovered(const Coverage& c) {
    EXPECT_GT(c.exactFrames, 50000);
    EXPECT_GT(c.endedInBlock, 50);
    EXPECT_GT(c.startedInBlock, 50);
    EXPECT_GT(c.fadedOrSlowed, 20);
    EXPECT_GT(c.fewVoiceBlocks, 50);
    EXPECT_GT(c.someVoiceBlocks, 50);
    EXPECT_GT(c.manyVoiceBlocks, 50);
}

TEST(RenderPaths, EveryPathMatchesTheFrameLoopOnRandomTables) {
    PathScope scope;
    for (RenderPath path : supportedPaths()) {
        Coverage coverage;
        compareOnRandomTables(path, 318, TableRun(), coverage);
        if (HasFatalFailure()) return;
        expectCovered(coverage);
    }
}

// Infinite, huge and denormal samples: the exact path may not shortcut the
// polynomial (inf * 0 is NaN), and overflowing products must come out alike.
TEST(RenderPaths, EveryPathMatchesTheFrameLoopOnHostileSamples) {
    PathScope scope;
    TableRun run;
    run.kind = SampleKind::kHostile;
    run.tables = 60;
    for (RenderPath path : supportedPaths()) {
        Coverage coverage;
        compareOnRandomTables(path, 7, run, coverage);
        if (HasFatalFailure()) return;
    }
}

// Which of two NaNs an operation passes on depends on the order in which the
// compiler places its operands, for the frame loop as much as for the lanes;
// the loaders only make finite samples. A NaN sample must give NaN at the
// same frames, and everything else the same bits.
TEST(RenderPaths, NaNSamplesGiveNaNAtTheSameFrames) {
    PathScope scope;
    TableRun run;
    run.kind = SampleKind::kNaN;
    run.tables = 40;
    for (RenderPath path : supportedPaths()) {
        Coverage coverage;
        compareOnRandomTables(path, 5, run, coverage);
        if (HasFatalFailure()) return;
    }
}

#if defined(__SSE2__)
// Hosts often run their audio thread with denormals flushed and treated as
// zero. A renderer that added zeros to frames a voice does not sound would
// then turn the host's denormals into zeros.
TEST(RenderPaths, EveryPathMatchesTheFrameLoopWithDenormalsAsZero) {
    PathScope scope;
    const unsigned saved = _mm_getcsr();
    _mm_setcsr(saved | 0x8040);  // flush to zero, denormals are zero
    TableRun run;
    run.kind = SampleKind::kHostile;
    run.denormalOutputs = true;
    run.tables = 40;
    for (RenderPath path : supportedPaths()) {
        Coverage coverage;
        compareOnRandomTables(path, 99, run, coverage);
        if (HasFatalFailure()) break;
    }
    _mm_setcsr(saved);
}
#endif

// A -0.0 sample between zeros interpolates to +0.0 at fraction 0, and an
// infinite one to NaN: the exact path must not hand back the sample itself.
TEST(RenderPaths, ExactVoicesKeepThePolynomialsZerosAndNaNs) {
    PathScope scope;
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> data(400, 0.0f);
    for (size_t i = 0; i < data.size(); i += 3) data[i] = -0.0f;
    data[200] = inf;
    for (RenderPath path : supportedPaths()) {
        // Sixteen exact voices on pair 0 over a buffer of -0.0, or a few
        // exact voices among general ones, so both renderers see them.
        for (int general = 0; general <= 16; general += 8) {
            Voice mine[kNumVoices], reference[kNumVoices];
            for (int i = 0; i < kNumVoices; i++) {
                Voice v{};
                v.active = 1;
                v.rate = v.rateFactor = v.gainFactor = 1.0f;
                v.gainLeft = 0.5f;
                v.gainRight = 0.25f;
                v.sampleData = data.data();
                v.sampleLength = static_cast<int32_t>(data.size());
                v.position = static_cast<float>(1 + 13 * i);
                if (i < general && i % 2) v.rate = 0.75f;
                mine[i] = reference[i] = v;
            }
            audiokit::Outputs got(300, -0.0f), want(300, -0.0f);
            useRenderPath(path);
            renderVoiceTable(mine, got.ptrs, 300);
            straight::renderAll(reference, kNumVoices, want.ptrs, 300);
            EXPECT_TRUE(got.equals(want)) << renderPathName(path) << " with " << general << " general voices";
            EXPECT_TRUE(sameVoices(mine, reference)) << renderPathName(path);
        }
    }
    // The reference really turns -0.0 into +0.0 and the infinity into NaN.
    Voice v{};
    v.active = 1;
    v.rate = v.rateFactor = v.gainFactor = 1.0f;
    v.gainLeft = v.gainRight = 0.5f;
    v.sampleData = data.data();
    v.sampleLength = static_cast<int32_t>(data.size());
    v.position = 3.0f;
    audiokit::Outputs out(300, -0.0f);
    straight::renderSlot(v, out.ptrs, 300);
    EXPECT_TRUE(sameBits(out.at(0, 0), 0.0f));
    EXPECT_TRUE(std::isnan(out.at(0, 200 - 3)));
}

// From 2^24 on, a float position no longer steps by 1.0 (2^24 + 1 rounds
// back to 2^24): a voice at rate 1.0 that gets there must keep the frame
// loop's arithmetic rather than count whole frames.
TEST(RenderPaths, PositionsPastTwoToTheTwentyFourthStayOnTheFrameLoop) {
    PathScope scope;
    const int length = (1 << 24) + 64;
    float* data = static_cast<float*>(std::malloc(sizeof(float) * length));
    ASSERT_NE(data, nullptr);
    const int from = (1 << 24) - 40;
    for (int i = from; i < length; i++) data[i] = static_cast<float>(i - from) / 64.0f;
    for (RenderPath path : supportedPaths()) {
        Voice mine[kNumVoices] = {}, reference[kNumVoices] = {};
        for (int i = 0; i < 4; i++) {
            Voice& v = mine[i];
            v.active = 1;
            v.output = i;
            v.rate = v.rateFactor = v.gainFactor = 1.0f;
            v.gainLeft = v.gainRight = 0.5f;
            v.sampleData = data;
            v.sampleLength = length;
            v.position = static_cast<float>((1 << 24) - 8 - i);
            reference[i] = v;
        }
        audiokit::Outputs got(64), want(64);
        useRenderPath(path);
        renderVoiceTable(mine, got.ptrs, 64);
        straight::renderAll(reference, kNumVoices, want.ptrs, 64);
        EXPECT_TRUE(got.equals(want)) << renderPathName(path);
        EXPECT_TRUE(sameVoices(mine, reference)) << renderPathName(path);
        EXPECT_EQ(reference[0].position, 16777216.0f);
    }
    std::free(data);
}

TEST(RenderPaths, ForcingAPathFallsBackToTheBestSupported) {
    PathScope scope;
    EXPECT_TRUE(renderPathSupported(RenderPath::kScalar));
    const RenderPath best = bestRenderPath();
    EXPECT_TRUE(renderPathSupported(best));
    for (int i = 0; i < kNumRenderPaths; i++) {
        const RenderPath p = static_cast<RenderPath>(i);
        if (renderPathSupported(p)) {
            EXPECT_GE(static_cast<int>(best), i);
        }
        EXPECT_EQ(useRenderPath(p), renderPathSupported(p) ? p : best) << renderPathName(p);
        EXPECT_EQ(currentRenderPath(), renderPathSupported(p) ? p : best);
        RenderPath parsed;
        ASSERT_TRUE(renderPathFromName(renderPathName(p), &parsed));
        EXPECT_EQ(parsed, p);
    }
    RenderPath untouched = RenderPath::kAvx2;
    EXPECT_FALSE(renderPathFromName("AVX2", &untouched));
    EXPECT_FALSE(renderPathFromName("", &untouched));
    EXPECT_EQ(untouched, RenderPath::kAvx2);
}

// Stand-ins for processors with fewer paths than this one may have.
bool scalarOnly(RenderPath p) { return p == RenderPath::kScalar; }
bool upToSse2(RenderPath p) { return p <= RenderPath::kSse2; }
bool upToAvx2(RenderPath p) { return p <= RenderPath::kAvx2; }
bool everyPath(RenderPath) { return true; }

TEST(RenderPaths, ASettingTheProcessorLacksFallsBackToItsBest) {
    const struct {
        bool (*runs)(RenderPath);
        RenderPath best;
    } processors[] = {{scalarOnly, RenderPath::kScalar},
                      {upToSse2, RenderPath::kSse2},
                      {upToAvx2, RenderPath::kAvx2},
                      {everyPath, RenderPath::kAvx512}};
    const char* settings[] = {nullptr, "", "AVX2", "neon", "scalar", "sse2", "avx2", "avx512"};
    for (const auto& processor : processors) {
        for (const char* setting : settings) {
            RenderPath named;
            const bool runs = setting && renderPathFromName(setting, &named) && processor.runs(named);
            EXPECT_EQ(chooseRenderPath(setting, processor.runs), runs ? named : processor.best)
                << (setting ? setting : "unset") << " where " << renderPathName(processor.best) << " is the best";
        }
    }
}

// A block of two pads through DrumInstrument on the path in use.
audiokit::Outputs playedBlock() {
    DrumInstrument d(nullptr);
    audiokit::placeSample(d, 0, 5000);
    audiokit::placeSample(d, 3, 3000);
    audiokit::play(d, 48);
    audiokit::play(d, 51, 90, 7);
    audiokit::Outputs out(512);
    d.processReplacing(nullptr, out.ptrs, 512);
    return out;
}

// The suites run once per path with KZ318_SIMD set, and this test once more
// for each path the processor lacks (tests/CMakeLists.txt): the variable must
// have picked the path when the library loaded, or the best there is, and
// the instrument must play on it.
TEST(RenderPaths, TheEnvironmentPicksThePathAtLoad) {
    const char* name = std::getenv("KZ318_SIMD");
    RenderPath wanted;
    const bool runs = name && renderPathFromName(name, &wanted) && renderPathSupported(wanted);
    ASSERT_EQ(currentRenderPath(), runs ? wanted : bestRenderPath()) << (name ? name : "unset");
    const audiokit::Outputs chosen = playedBlock();
    EXPECT_NE(chosen.at(0, 100), 0.0f);
    PathScope scope;
    useRenderPath(RenderPath::kScalar);
    EXPECT_TRUE(playedBlock().equals(chosen));
}

}  // namespace
