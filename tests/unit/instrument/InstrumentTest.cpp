#include <gtest/gtest.h>

#include <cstring>

#include "instrument/DrumInstrument.h"

namespace {

TEST(NewInstrument, PadsAndVoicesHaveTheirDefaults) {
    DrumInstrument d(nullptr);
    ASSERT_TRUE(d.valid());
    for (int i = 0; i < kNumPads; i++) {
        const Pad& p = d.pads[i];
        EXPECT_EQ(p.midiNote, 48 + i);
        EXPECT_EQ(p.volume, 0.7f);
        EXPECT_EQ(p.pan, 0.5f);
        EXPECT_EQ(p.pitch, 0.5f);
        EXPECT_EQ(p.ampDecay, 0.0f);
        EXPECT_EQ(p.pitchDecay, 0.0f);
        EXPECT_EQ(p.output, 0);
        EXPECT_EQ(p.choke, 0);
        EXPECT_EQ(p.mute, 0);
        EXPECT_EQ(p.solo, 0);
        EXPECT_EQ(p.sampleData, nullptr);
        EXPECT_EQ(p.samplePath, nullptr);
        EXPECT_EQ(d.voices[i].active, 0);
    }
    EXPECT_EQ(d.soloCount, 0);
    EXPECT_STREQ(d.bankPath, "");
    EXPECT_EQ(d.audioBusy.load(), 0);
    EXPECT_EQ(d.loading.load(), 0);
    EXPECT_EQ(d.getAeffect()->flags, 0x130);  // no editor until one is attached
}

TEST(NewInstrument, OutputPinsAndNegativeIndices) {
    DrumInstrument d(nullptr);
    VstPinProperties pin;
    std::memset(&pin, 0, sizeof(pin));
    EXPECT_TRUE(d.getOutputProperties(7, &pin));
    EXPECT_STREQ(pin.label, "Kz3 4R");
    EXPECT_FALSE(d.getOutputProperties(-1, &pin));
}

TEST(NewInstrument, DestructionReleasesEverySampleAndPath) {
    // Run under the sanitizer preset: a leak or a double free fails the test.
    auto* d = new DrumInstrument(nullptr);
    for (int i = 0; i < kNumPads; i += 3) {
        d->pads[i].sampleData = static_cast<float*>(std::calloc(16, sizeof(float)));
        d->pads[i].sampleLength = 16;
        d->pads[i].samplePath = static_cast<char*>(std::calloc(kPathSize, 1));
    }
    delete d;
}

}  // namespace
