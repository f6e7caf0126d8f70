// A pad's sample keeps its pitch and length whatever rate the host runs at,
// and the renderer's paths stay bit-identical away from the stored rate.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "instrument/RenderPath.h"
#include "support/AudioKit.h"
#include "support/StraightRender.h"

using namespace audiokit;

namespace {

const double kPi = 3.14159265358979323846;
const double kToneHz = 1000.0;
const int kBurstFrames = kPadSampleRate / 2;  // half a second at the stored rate

void placeSine(DrumInstrument& d, int pad) {
    float* data = placeSample(d, pad, kBurstFrames);
    for (int i = 0; i < kBurstFrames; i++)
        data[i] = static_cast<float>(std::sin(2.0 * kPi * kToneHz * i / kPadSampleRate));
}

struct Measured {
    double seconds;  // from the note to the last sounding frame
    double hertz;    // from the first and last rising zero crossings
};

// Plays the burst once at `rate` and measures what came out of pair 1.
Measured playBurst(DrumInstrument& d, double rate) {
    d.setSampleRate(static_cast<float>(rate));
    play(d, 48, 127);
    const int frames = static_cast<int>(rate) + 64;  // a second: room for the half-second burst
    Outputs out(frames);
    for (int done = 0; done < frames; done += 256) {
        float* ptrs[kNumOutputs];
        for (int i = 0; i < kNumOutputs; i++) ptrs[i] = out.ptrs[i] + done;
        d.processReplacing(nullptr, ptrs, std::min(256, frames - done));
    }
    const std::vector<float>& left = out.data[0];
    int last = frames - 1;
    while (last > 0 && left[static_cast<size_t>(last)] == 0.0f) last--;
    double first = -1.0, final = -1.0;
    int crossings = 0;
    for (int j = 1; j <= last; j++) {
        const float a = left[static_cast<size_t>(j - 1)], b = left[static_cast<size_t>(j)];
        if (a < 0.0f && b >= 0.0f) {
            const double t = (j - 1) + a / (a - b);
            if (first < 0.0) first = t;
            final = t;
            crossings++;
        }
    }
    // The note starts at frame 0 and the first output frame is sample frame 1.
    return {(last + 1) / rate, (crossings - 1) * rate / (final - first)};
}

}  // namespace

// One instrument through every rate, as a host that changes its rate between
// sessions: the step is taken from the rate at note-on.
TEST(HostRate, TheBurstKeepsItsLengthAndPitchAtEveryRate) {
    DrumInstrument d(nullptr);
    placeSine(d, 0);
    d.pads[0].pan = 0.0f;
    for (double rate : {44100.0, 22050.0, 48000.0, 88200.0, 96000.0, 192000.0, 44100.0}) {
        SCOPED_TRACE(rate);
        const Measured m = playBurst(d, rate);
        EXPECT_EQ(activeVoices(d), 0);
        // One output frame to reach sample frame 1, then the sample up to frame
        // length - 3, where the voice ends.
        const double expectedSeconds = 1.0 / rate + (kBurstFrames - 4) / double(kPadSampleRate);
        const double lengthError = m.seconds - expectedSeconds;
        const double pitchError = m.hertz / kToneHz - 1.0;
        std::printf("host rate %6.0f Hz: length error %+.2e s (%+.2f frames), pitch error %+.2e (%+.4f cents)\n",
                    rate, lengthError, lengthError * rate, pitchError, 1200.0 * std::log2(m.hertz / kToneHz));
        // The read position is a float: past 2^14 frames its steps round to
        // 2^-9 of a frame, which drifts by a few parts in 10^4 (under a cent)
        // where the step is no power of two. The last step lands anywhere in
        // its frame.
        EXPECT_LE(std::fabs(lengthError), 1.0 / rate + 1e-3 * expectedSeconds);
        EXPECT_LE(std::fabs(pitchError), 1e-3);
    }
}

TEST(HostRate, TheStepFollowsTheRateAndIsExactlyOneAtTheStoredRate) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 1000);
    d.setSampleRate(44100.0f);
    play(d, 48);
    EXPECT_EQ(d.voices[0].rate, 1.0f);  // keeps the exact path and every recorded result
    d.setSampleRate(88200.0f);
    play(d, 48);
    EXPECT_EQ(d.voices[1].rate, 0.5f);
    d.pads[0].pitch = 1.0f;  // an octave up at a rate twice the stored one: one stored frame a frame
    play(d, 48);
    EXPECT_EQ(d.voices[2].rate, 1.0f);
    // A rate no host gives must not make the step infinite.
    d.setSampleRate(1e-30f);
    play(d, 48);
    EXPECT_TRUE(std::isfinite(d.voices[3].rate));
}

// Voices started by the instrument at 48 and 96 kHz, with every pitch and
// decay setting a pad may have, through every path this processor has and
// through the frame loop.
TEST(HostRate, EveryPathMatchesTheFrameLoopAtOtherRates) {
    const RenderPath saved = currentRenderPath();
    std::mt19937 rng(48096);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (float rate : {48000.0f, 96000.0f}) {
        for (int round = 0; round < 40; round++) {
            DrumInstrument d(nullptr);
            d.setSampleRate(rate);
            for (int p = 0; p < kNumPads; p++) {
                placeSample(d, p, 200 + static_cast<int>(rng() % 5000));
                Pad& pad = d.pads[p];
                pad.midiNote = 48 + p % 4;
                pad.output = p % 4;
                pad.pitch = p % 3 == 0 ? 0.5f : unit(rng);
                pad.pitchDecay = p % 2 ? 0.0f : unit(rng);
                pad.ampDecay = p % 5 ? unit(rng) : 0.0f;
            }
            Events e;
            for (int n = 0; n < 4; n++) e.noteOn(48 + n, 1 + static_cast<int>(rng() % 127), static_cast<int>(rng() % 300));
            d.processEvents(e.get());
            const int frames = 1 + static_cast<int>(rng() % 2048);
            Voice reference[kNumVoices];
            std::copy(d.voices, d.voices + kNumVoices, reference);
            Outputs want(frames);
            straight::renderAll(reference, kNumVoices, want.ptrs, frames);
            for (int i = 0; i < kNumRenderPaths; i++) {
                const RenderPath path = static_cast<RenderPath>(i);
                if (!renderPathSupported(path)) continue;
                SCOPED_TRACE(std::string(renderPathName(path)) + " at " + std::to_string(rate));
                Voice mine[kNumVoices];
                std::copy(d.voices, d.voices + kNumVoices, mine);
                Outputs got(frames);
                useRenderPath(path);
                renderVoiceTable(mine, got.ptrs, frames);
                ASSERT_TRUE(got.equals(want));
                for (int v = 0; v < kNumVoices; v++) {
                    ASSERT_EQ(std::memcmp(&mine[v].position, &reference[v].position, sizeof(float)), 0);
                    ASSERT_EQ(mine[v].active, reference[v].active);
                }
            }
        }
    }
    useRenderPath(saved);
}
