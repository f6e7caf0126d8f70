// Note handling on the real instrument: which pads answer, which slots they
// take, how their voices are set up, and what is ignored.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "support/AudioKit.h"

using audiokit::activeVoices;
using audiokit::Events;
using audiokit::Outputs;
using audiokit::placeSample;
using audiokit::play;

namespace {

bool sameVoices(const DrumInstrument& a, const Voice* b) {
    for (int i = 0; i < kNumVoices; i++) {
        const Voice& x = a.voices[i];
        const Voice& y = b[i];
        if (x.active != y.active || x.midiNote != y.midiNote || x.output != y.output || x.gainLeft != y.gainLeft ||
            x.gainRight != y.gainRight || x.rate != y.rate || x.position != y.position ||
            x.rateFactor != y.rateFactor || x.gainFactor != y.gainFactor || x.sampleData != y.sampleData ||
            x.sampleLength != y.sampleLength)
            return false;
    }
    return true;
}

struct Snapshot {
    explicit Snapshot(const DrumInstrument& d) { std::copy(d.voices, d.voices + kNumVoices, voices); }
    Voice voices[kNumVoices];
};

TEST(NoteOn, VoiceSetUp) {
    DrumInstrument d(nullptr);
    float* data = placeSample(d, 2, 500);
    Pad& p = d.pads[2];
    p.volume = 1.0f;
    p.pan = 0.0f;
    p.output = 2;
    d.setSampleRate(7000.0f);
    p.pitchDecay = 1.0f;
    p.ampDecay = 0.35f;
    EXPECT_EQ(play(d, 50, 127, 17), 1);
    const Voice& v = d.voices[0];
    EXPECT_EQ(v.active, 1);
    EXPECT_EQ(v.midiNote, 50);
    EXPECT_EQ(v.gainLeft, 3969.0f / 1024.0f);  // 1.96875 squared, all on the left
    EXPECT_EQ(v.gainRight, 0.0f);
    EXPECT_EQ(v.rate, 6.3f);  // 44100 / 7000: the stored sample keeps its pitch
    EXPECT_EQ(v.position, -17.0f);
    EXPECT_EQ(v.rateFactor, 0.999f);
    EXPECT_EQ(v.gainFactor, 0.999f);
    EXPECT_EQ(v.sampleData, data);
    EXPECT_EQ(v.sampleLength, 500);
    EXPECT_EQ(v.output, 2);

    p.pan = 0.5f;
    p.pitch = 0.0f;
    d.setSampleRate(44100.0f);
    p.pitchDecay = 0.0f;
    p.ampDecay = 0.0f;
    play(d, 50, 127);
    EXPECT_EQ(d.voices[1].gainLeft, 3969.0f / 2048.0f);
    EXPECT_EQ(d.voices[1].gainRight, 3969.0f / 2048.0f);
    EXPECT_EQ(d.voices[1].rate, 0.5f);
    EXPECT_EQ(d.voices[1].rateFactor, 1.0f);
    EXPECT_EQ(d.voices[1].gainFactor, 1.0f);
    p.pitch = 1.0f;
    play(d, 50, 64);
    EXPECT_EQ(d.voices[2].rate, 2.0f);
    EXPECT_NEAR(d.voices[2].gainLeft / (3969.0f / 2048.0f), 0.2229 / 1.96875, 1e-4);  // velocity 64
}

TEST(NoteOn, UnusablePadSettingsStillGiveASafeVoice) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 100);
    Pad& p = d.pads[0];
    p.pitch = std::nanf("");
    p.pitchDecay = 50.0f;
    p.ampDecay = -3.0f;
    p.volume = 9.0f;
    p.output = 7;
    p.choke = 5;  // no such group: plays like a pad without one
    d.setSampleRate(0.0f);
    EXPECT_EQ(play(d, 48, 100, -20), 1);
    const Voice& v = d.voices[0];
    EXPECT_EQ(v.rate, 0.5f);
    EXPECT_EQ(v.gainFactor, 1.0f);
    EXPECT_GE(v.rateFactor, 0.0f);
    EXPECT_EQ(v.output, 3);
    EXPECT_EQ(v.position, 0.0f);  // an offset before the block starts the note now
    Outputs out(256);
    d.processReplacing(nullptr, out.ptrs, 256);
    EXPECT_TRUE(std::isfinite(out.at(6, 1)));
}

TEST(NoteOn, ThreePadsOnOneNoteTakeTheLowestFreeSlotsInPadOrder) {
    DrumInstrument d(nullptr);
    for (int p : {3, 7, 11}) {
        placeSample(d, p, 100 + p);
        d.pads[p].midiNote = 70;
    }
    placeSample(d, 0, 100);
    placeSample(d, 1, 100);
    Events e;
    e.noteOn(48).noteOn(49);
    d.processEvents(e.get());
    d.voices[0].active = 0;  // slot 0 free again, slot 1 busy
    play(d, 70);
    EXPECT_EQ(d.voices[0].sampleLength, 103);
    EXPECT_EQ(d.voices[2].sampleLength, 107);
    EXPECT_EQ(d.voices[3].sampleLength, 111);
    EXPECT_EQ(activeVoices(d), 4);
}

TEST(NoteOn, SeventeenthNoteFindsNoSlot) {
    DrumInstrument d(nullptr);
    Events e;
    for (int p = 0; p < kNumPads; p++) {
        placeSample(d, p, 1000);
        e.noteOn(48 + p);
    }
    d.processEvents(e.get());
    EXPECT_EQ(activeVoices(d), 16);
    Snapshot before(d);
    play(d, 48, 127, 9);
    EXPECT_TRUE(sameVoices(d, before.voices));
}

TEST(NoteOn, ChokeGroupsOwnTheLastTwoSlots) {
    DrumInstrument d(nullptr);
    for (int p = 0; p < 4; p++) placeSample(d, p, 1000);
    d.pads[0].choke = 1;
    d.pads[1].choke = 1;
    d.pads[1].midiNote = 48;  // pads 0 and 1 of group 1 on one note: pad 1 wins
    d.pads[2].choke = 2;
    play(d, 48);
    EXPECT_EQ(activeVoices(d), 1);
    EXPECT_EQ(d.voices[14].sampleData, d.pads[1].sampleData);

    Outputs out(64);
    d.processReplacing(nullptr, out.ptrs, 64);
    play(d, 48, 100, 10);  // restarts the slot from its new offset
    EXPECT_EQ(d.voices[14].position, -10.0f);
    EXPECT_EQ(activeVoices(d), 1);

    // An un-choked pad takes slot 15 when slots 0..14 sound, and is cut by group 2.
    for (int s = 0; s < 14; s++) d.voices[s] = d.voices[14];
    play(d, 51);
    EXPECT_EQ(d.voices[15].sampleData, d.pads[3].sampleData);
    play(d, 50, 100, 4);
    EXPECT_EQ(d.voices[15].sampleData, d.pads[2].sampleData);
    EXPECT_EQ(d.voices[15].position, -4.0f);
    EXPECT_EQ(activeVoices(d), 16);
}

TEST(NoteOn, AllNotesOffOnAnyChannelOnly) {
    DrumInstrument d(nullptr);
    Events e;
    for (int p = 0; p < kNumPads; p++) {
        placeSample(d, p, 1000);
        e.noteOn(48 + p, 100, 0, p);  // every channel plays
    }
    d.processEvents(e.get());
    EXPECT_EQ(activeVoices(d), 16);
    Events other;
    other.controller(120).controller(121, 3).controller(7).midi(0xC0, 123, 0);
    d.processEvents(other.get());
    EXPECT_EQ(activeVoices(d), 16);
    Events off;
    off.controller(123, 9);
    EXPECT_EQ(d.processEvents(off.get()), 1);
    EXPECT_EQ(activeVoices(d), 0);
}

TEST(NoteOn, SoloAndMute) {
    DrumInstrument d(nullptr);
    for (int p = 0; p < 3; p++) placeSample(d, p, 1000);
    d.pads[1].solo = 1;
    d.soloCount = 1;
    play(d, 48);
    EXPECT_EQ(activeVoices(d), 0);
    play(d, 49);
    EXPECT_EQ(activeVoices(d), 1);
    d.pads[1].mute = 1;
    play(d, 49);
    EXPECT_EQ(activeVoices(d), 1);
    d.pads[2].mute = 1;
    d.pads[1].solo = 0;
    d.soloCount = 0;
    play(d, 50);
    play(d, 49);
    EXPECT_EQ(activeVoices(d), 1);
    play(d, 48);
    EXPECT_EQ(activeVoices(d), 2);
}

// A recount on another thread (the editor's refresh, a loader) stores the
// count once: a note-on in the middle of it still sees the solo.
TEST(NoteOn, SoloHoldsWhileTheCountIsTakenAgain) {
    DrumInstrument d(nullptr);
    // The last pad solo: a count taken up from zero would stay zero longest.
    placeSample(d, 0, 1000);
    placeSample(d, 15, 1000);
    d.pads[15].midiNote = 48;
    d.setSolo(15, true);
    std::atomic<bool> done{false};
    std::atomic<long> recounts{0};
    std::thread counter([&] {
        while (!done) {
            d.recountSolo();
            recounts++;
        }
    });
    while (recounts == 0) std::this_thread::yield();
    int wrong = 0;
    for (int i = 0; i < 200000; i++) {
        play(d, 48);
        wrong += activeVoices(d) != 1;
        Events off;
        off.controller(123);
        d.processEvents(off.get());
    }
    done = true;
    counter.join();
    EXPECT_EQ(wrong, 0);
    d.setSolo(15, false);
    EXPECT_EQ(d.soloCount, 0);
    d.setSolo(kNumPads, true);  // no such pad
    EXPECT_EQ(d.soloCount, 0);
}

TEST(NoteOn, IgnoredEvents) {
    DrumInstrument d(nullptr);
    placeSample(d, 0, 1000);
    placeSample(d, 1, 1000);
    play(d, 49);
    Events e;
    e.noteOn(48, 0).midi(0x80, 48, 100).midi(0xA0, 48, 100).midi(0xC0, 48, 0).midi(0xE0, 48, 100);
    e.noteOn(1);
    VstEvent sysex{};
    sysex.type = kVstSysExType;
    sysex.data[8] = static_cast<char>(0x90);  // where a MIDI event keeps its bytes
    sysex.data[9] = 48;
    sysex.data[10] = 100;
    e.add(&sysex);
    e.add(nullptr);
    Outputs out(64);
    d.processReplacing(nullptr, out.ptrs, 64);
    const float position = d.voices[0].position;
    EXPECT_EQ(d.processEvents(e.get()), 1);
    d.processReplacing(nullptr, out.ptrs, 64);
    EXPECT_EQ(activeVoices(d), 1);
    EXPECT_EQ(d.voices[0].position, position + 64.0f);  // the sounding voice just went on
}

TEST(NoteOn, EmptyAndMissingListsAnswerOne) {
    DrumInstrument d(nullptr);
    Events e;
    EXPECT_EQ(d.processEvents(nullptr), 1);
    EXPECT_EQ(d.processEvents(e.get()), 1);
    e.get()->numEvents = -3;
    EXPECT_EQ(d.processEvents(e.get()), 1);
    EXPECT_EQ(d.audioBusy.load(), 0);
}

}  // namespace
