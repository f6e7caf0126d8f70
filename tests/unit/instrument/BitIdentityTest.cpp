// The instrument's renderer against the plain frame loop, over random pads,
// notes, offsets, sample rates and block sizes: every output sample and every
// voice field must match bit for bit.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "support/AudioKit.h"
#include "support/StraightRender.h"

using audiokit::Events;
using audiokit::Outputs;

namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof(float)) == 0; }

void expectSameVoices(const Voice* a, const Voice* b, int block) {
    for (int i = 0; i < kNumVoices; i++) {
        EXPECT_EQ(a[i].active, b[i].active) << "slot " << i << " block " << block;
        EXPECT_TRUE(sameBits(a[i].position, b[i].position)) << "slot " << i << " block " << block;
        EXPECT_TRUE(sameBits(a[i].rate, b[i].rate)) << "slot " << i << " block " << block;
        EXPECT_TRUE(sameBits(a[i].gainLeft, b[i].gainLeft)) << "slot " << i << " block " << block;
        EXPECT_TRUE(sameBits(a[i].gainRight, b[i].gainRight)) << "slot " << i << " block " << block;
    }
}

TEST(RenderBits, SameAsThePlainLoopOverRandomSettings) {
    std::mt19937 rng(318);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    DrumInstrument d(nullptr);
    for (int p = 0; p < kNumPads; p++) {
        const int frames = 4 + static_cast<int>(rng() % 3000);
        float* data = static_cast<float*>(std::malloc(sizeof(float) * frames));
        for (int i = 0; i < frames; i++) data[i] = unit(rng) * 2.0f - 1.0f;
        d.pads[p].sampleData = data;
        d.pads[p].sampleLength = frames;
        d.pads[p].midiNote = 48 + static_cast<int>(rng() % 6);
        d.pads[p].output = static_cast<int>(rng() % 4);
        d.pads[p].choke = static_cast<int>(rng() % 5) < 3 ? 0 : 1 + static_cast<int>(rng() % 2);
    }
    const float rates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f};
    Voice reference[kNumVoices];
    int sounded = 0;
    for (int block = 0; block < 3000; block++) {
        if (block % 100 == 0) d.setSampleRate(rates[rng() % 4]);
        const int frames = 1 + static_cast<int>(rng() % 700);
        Events e;
        for (int n = static_cast<int>(rng() % 4); n > 0; n--) {
            Pad& p = d.pads[rng() % kNumPads];
            p.pitch = unit(rng);
            p.pitchDecay = unit(rng) < 0.3f ? 0.0f : unit(rng);
            p.ampDecay = unit(rng) < 0.3f ? 0.0f : unit(rng);
            p.pan = unit(rng);
            p.volume = unit(rng);
            e.noteOn(48 + static_cast<int>(rng() % 6), 1 + static_cast<int>(rng() % 127),
                     static_cast<int>(rng() % (frames + 200)));
        }
        d.processEvents(e.get());
        std::copy(d.voices, d.voices + kNumVoices, reference);

        Outputs fast(frames), plain(frames);
        for (int o = 0; o < kNumOutputs; o++)
            for (int j = 0; j < frames; j++) fast.data[o][j] = plain.data[o][j] = unit(rng) - 0.5f;
        d.process(nullptr, fast.ptrs, frames);
        straight::renderAll(reference, kNumVoices, plain.ptrs, frames);

        ASSERT_TRUE(fast.equals(plain)) << "block " << block;
        expectSameVoices(d.voices, reference, block);
        if (HasFailure()) return;
        sounded += audiokit::activeVoices(d);
    }
    EXPECT_GT(sounded, 3000);  // the comparison saw voices, not silence
}

}  // namespace
