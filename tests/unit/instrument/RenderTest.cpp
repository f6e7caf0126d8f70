// Rendering on the real instrument: start offsets, output pairs, the end of a
// voice and the audio side of the load handshake.
#include <gtest/gtest.h>

#include "support/AudioKit.h"

using audiokit::activeVoices;
using audiokit::Events;
using audiokit::Outputs;
using audiokit::placeSample;
using audiokit::play;
using audiokit::rampValue;

namespace {

const float kMark = 0.25f;  // what the host's buffers hold before an accumulating call

Voice& manualVoice(DrumInstrument& d, int slot, const float* data, int length) {
    Voice& v = d.voices[slot];
    v = Voice{};
    v.active = 1;
    v.rate = 1.0f;
    v.rateFactor = 1.0f;
    v.gainFactor = 1.0f;
    v.gainLeft = 0.5f;
    v.gainRight = 0.5f;
    v.sampleData = data;
    v.sampleLength = length;
    return v;
}

TEST(Render, TenFrameSampleSoundsFramesOneToSix) {
    DrumInstrument d(nullptr);
    const float* data = placeSample(d, 0, 10);
    manualVoice(d, 0, data, 10);
    Outputs out(10, kMark);
    d.process(nullptr, out.ptrs, 10);
    for (int j = 0; j < 10; j++) {
        const float expected = (j >= 1 && j <= 6) ? kMark + 0.5f * rampValue(j) : kMark;
        EXPECT_EQ(out.at(0, j), expected) << "frame " << j;
        EXPECT_EQ(out.at(1, j), expected) << "frame " << j;
        for (int o = 2; o < kNumOutputs; o++) EXPECT_EQ(out.at(o, j), kMark);
    }
    EXPECT_EQ(d.voices[0].active, 0);
    EXPECT_EQ(d.voices[0].position, 7.0f);
}

TEST(Render, EmptyVoiceTable) {
    DrumInstrument d(nullptr);
    Outputs out(64, kMark);
    d.process(nullptr, out.ptrs, 64);
    EXPECT_TRUE(out.equals(Outputs(64, kMark)));
    d.processReplacing(nullptr, out.ptrs, 64);
    EXPECT_TRUE(out.equals(Outputs(64, 0.0f)));
}

TEST(Render, StartOffsetInsideTheBlock) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 100);
    play(d, 48, 100, 5);
    const float g = d.voices[0].gainLeft;
    Outputs out(64);
    d.processReplacing(nullptr, out.ptrs, 64);
    for (int j = 0; j <= 5; j++) EXPECT_EQ(out.at(0, j), 0.0f) << j;
    for (int j = 6; j < 64; j++) EXPECT_EQ(out.at(0, j), g * rampValue(j - 5)) << j;
}

TEST(Render, StartOffsetBeyondTheBlockStartsInALaterOne) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 100);
    play(d, 48, 100, 100);
    const float g = d.voices[0].gainLeft;
    Outputs out(64);
    d.processReplacing(nullptr, out.ptrs, 64);
    EXPECT_TRUE(out.equals(Outputs(64)));
    EXPECT_EQ(d.voices[0].position, -36.0f);
    d.processReplacing(nullptr, out.ptrs, 64);
    for (int j = 0; j <= 36; j++) EXPECT_EQ(out.at(0, j), 0.0f) << j;
    for (int j = 37; j < 64; j++) EXPECT_EQ(out.at(0, j), g * rampValue(j - 36)) << j;
}

TEST(Render, OutputPairs) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 100);
    placeSample(d, 1, 100);
    d.pads[1].midiNote = 48;
    d.pads[1].volume = 0.9f;
    d.pads[2].midiNote = 50;
    placeSample(d, 2, 100);
    d.pads[2].output = 3;
    Events e;
    e.noteOn(48).noteOn(50);
    d.processEvents(e.get());
    const float g0 = d.voices[0].gainLeft, g1 = d.voices[1].gainLeft, g2 = d.voices[2].gainRight;
    Outputs out(32, kMark);
    d.process(nullptr, out.ptrs, 32);
    for (int j = 1; j < 32; j++) {
        // Slots add in order onto what the buffer held.
        const float pair0 = (kMark + g0 * rampValue(j)) + g1 * rampValue(j);
        EXPECT_EQ(out.at(0, j), pair0);
        EXPECT_EQ(out.at(1, j), pair0);
        EXPECT_EQ(out.at(7, j), kMark + g2 * rampValue(j));
        for (int o = 2; o < 6; o++) EXPECT_EQ(out.at(o, j), kMark) << "output " << o;
    }
}

TEST(Render, PairSharingOneBufferGetsBothSides) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 100);
    d.pads[0].pan = 0.25f;
    play(d, 48);
    const float gl = d.voices[0].gainLeft, gr = d.voices[0].gainRight;
    Outputs out(16, kMark);
    out.ptrs[1] = out.ptrs[0];
    d.process(nullptr, out.ptrs, 16);
    for (int j = 1; j < 16; j++) EXPECT_EQ(out.at(0, j), (kMark + gl * rampValue(j)) + gr * rampValue(j)) << j;
}

TEST(Render, AmpDecayEndsTheVoiceAtTheFirstBlockEndBelowTheFloor) {
    for (float pan : {0.5f, 0.0f}) {  // centred, then hard left (right gain 0 from the start)
        DrumInstrument d(nullptr);
        d.setSampleRate(1000.0f);
        placeSample(d, 0, 100000);
        d.pads[0].ampDecay = 1.0f;
        d.pads[0].pan = pan;
        play(d, 48, 127);
        EXPECT_EQ(d.voices[0].gainFactor, 0.98f);
        Outputs out(100);
        int blocks = 0;
        while (d.voices[0].active && blocks < 1000) {
            d.processReplacing(nullptr, out.ptrs, 100);
            blocks++;
            const Voice& v = d.voices[0];
            const bool quiet = v.gainLeft < 0.0001f && v.gainRight < 0.0001f;
            EXPECT_EQ(v.active, quiet ? 0 : 1) << "block " << blocks;
        }
        EXPECT_LT(d.voices[0].position, 99997.0f);  // ended by its level, not by the sample end
        EXPECT_NE(out.at(0, 99), 0.0f);             // it sounded to the last frame of its last block
        if (pan == 0.0f) {
            EXPECT_EQ(out.at(1, 50), 0.0f);
        }
    }
}

TEST(Render, SilentPadIsDroppedAfterItsFirstBlock) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 1000);
    d.pads[0].volume = 0.0f;
    play(d, 48);
    EXPECT_EQ(d.voices[0].gainLeft, 0.0f);
    EXPECT_EQ(d.voices[0].gainRight, 0.0f);
    Outputs out(64, kMark);
    d.process(nullptr, out.ptrs, 64);
    EXPECT_TRUE(out.equals(Outputs(64, kMark)));
    EXPECT_EQ(d.voices[0].active, 0);
}

TEST(Render, PitchDecayGlidesDownUntilTheRateFloor) {
    DrumInstrument d(nullptr);
    d.setSampleRate(1000.0f);
    placeSample(d, 0, 10000);
    d.pads[0].pitchDecay = 1.0f;
    play(d, 48);
    EXPECT_EQ(d.voices[0].rateFactor, 0.993f);
    Outputs out(50);
    float lastStep = 1e9f;
    int blocks = 0;
    while (d.voices[0].active && blocks < 100) {
        const float before = d.voices[0].position;
        d.processReplacing(nullptr, out.ptrs, 50);
        blocks++;
        const float step = d.voices[0].position - before;
        EXPECT_LT(step, lastStep);  // slower every block
        lastStep = step;
        EXPECT_EQ(d.voices[0].active, d.voices[0].rate < 0.01f ? 0 : 1) << "block " << blocks;
    }
    // The step starts at 44.1 (44100 / 1000); 44.1 * 0.993^n < 0.01 first at
    // n = 1195, in the twenty-fourth block of 50.
    EXPECT_EQ(blocks, 24);
    EXPECT_LT(d.voices[0].position, 9997.0f);
}

TEST(Render, ShortSamples) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 3);
    placeSample(d, 1, 4);
    d.pads[1].midiNote = 48;
    play(d, 48);
    EXPECT_EQ(activeVoices(d), 1);  // only the four-frame pad
    EXPECT_EQ(d.voices[0].sampleLength, 4);
    const float g = d.voices[0].gainLeft;
    Outputs out(8);
    d.processReplacing(nullptr, out.ptrs, 8);
    EXPECT_EQ(out.at(0, 1), g * rampValue(1));  // one frame sounds, from frames 0..3
    EXPECT_EQ(out.at(0, 2), 0.0f);
    EXPECT_EQ(activeVoices(d), 0);
}

TEST(Render, MissingBuffersAndEmptyBlocksTouchNothing) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 1000);
    placeSample(d, 1, 1000);
    d.pads[1].output = 1;
    Events e;
    e.noteOn(48).noteOn(49);
    d.processEvents(e.get());
    d.processReplacing(nullptr, nullptr, 64);
    d.process(nullptr, nullptr, 64);
    Outputs out(64, kMark);
    d.processReplacing(nullptr, out.ptrs, 0);
    d.processReplacing(nullptr, out.ptrs, -5);
    d.process(nullptr, out.ptrs, -1);
    EXPECT_TRUE(out.equals(Outputs(64, kMark)));
    EXPECT_EQ(d.voices[0].position, 0.0f);

    out.ptrs[1] = nullptr;  // pair 0 has no right buffer: its voice waits
    d.processReplacing(nullptr, out.ptrs, 64);
    EXPECT_EQ(d.voices[0].position, 0.0f);
    EXPECT_EQ(d.voices[1].position, 64.0f);
    for (int o : {0, 2, 3}) EXPECT_EQ(out.at(o, 0), 0.0f) << o;
    EXPECT_EQ(out.at(1, 0), kMark);
    EXPECT_EQ(d.audioBusy.load(), 0);
}

TEST(Render, WhileLoadingNothingMovesAndEventsAreLost) {
    DrumInstrument d(nullptr), twin(nullptr);
    for (DrumInstrument* x : {&d, &twin}) {
        placeSample(*x, 0, 1000);
        placeSample(*x, 1, 1000);
        play(*x, 48, 100, 3);
    }
    Outputs out(64, kMark), reference(64);
    d.process(nullptr, out.ptrs, 64);
    twin.process(nullptr, reference.ptrs, 64);

    d.loading.store(1);
    const float position = d.voices[0].position;
    EXPECT_EQ(play(d, 49), 1);
    EXPECT_EQ(activeVoices(d), 1);
    out.fill(kMark);
    d.process(nullptr, out.ptrs, 64);
    EXPECT_TRUE(out.equals(Outputs(64, kMark)));
    d.processReplacing(nullptr, out.ptrs, 64);  // cleared all the same
    EXPECT_TRUE(out.equals(Outputs(64)));
    EXPECT_EQ(d.voices[0].position, position);
    EXPECT_EQ(d.audioBusy.load(), 0);

    d.loading.store(0);
    d.processReplacing(nullptr, out.ptrs, 64);
    twin.processReplacing(nullptr, reference.ptrs, 64);
    EXPECT_TRUE(out.equals(reference));  // continues where it stopped
}

}  // namespace
