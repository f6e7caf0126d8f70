// The instrument's sample loaders and their handshake with the audio thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "formats/KitFormats.h"
#include "instrument/DrumInstrument.h"
#include "support/FakeServices.h"
#include "support/TestFolder.h"
#include "support/WaveWriter.h"

using namespace wavetest;
using testsupport::ScopedFakeServices;

namespace {

class FakeEditor : public PadEditor {
public:
    using PadEditor::PadEditor;
    void refreshFromPads() override { refreshes++; }
    void setPadName(int pad, const char* text) override {
        names.push_back(std::to_string(pad) + ":" + text);
        if (watched) heldAtNames.push_back(watched->loading.load());
    }
    int refreshes = 0;
    std::vector<std::string> names;
    // The audio flag at each name change (a pad being emptied), when watched.
    DrumInstrument* watched = nullptr;
    std::vector<int> heldAtNames;
};

std::string sampleFile(const std::string& name, size_t frames, uint32_t rate = 44100) {
    std::string path = testsupport::testFile(name);
    Format f;
    f.rate = rate;
    EXPECT_TRUE(writeFile(path, wave(f, samples(testSignal(frames), 2))));
    return path;
}

class Loader : public ::testing::Test {
protected:
    Loader() : editor(new FakeEditor(&instrument)) { instrument.attachEditor(editor); }

    void sounding(int voice, int pad) {
        Voice& v = instrument.voices[voice];
        v.active = 1;
        v.sampleData = instrument.pads[pad].sampleData;
        v.sampleLength = instrument.pads[pad].sampleLength;
    }

    ScopedFakeServices services;
    DrumInstrument instrument{nullptr};
    FakeEditor* editor;  // owned by the instrument
};

TEST_F(Loader, LoadSampleFileFillsThePadAndRefreshes) {
    std::string path = sampleFile("kick.wav", 300);
    instrument.pads[4].volume = 0.25f;
    instrument.loadSampleFile(4, path.c_str());
    const Pad& pad = instrument.pads[4];
    ASSERT_NE(pad.sampleData, nullptr);
    EXPECT_EQ(pad.sampleLength, 300);
    EXPECT_EQ(pad.sampleData[0], 32767.0f / 32768);
    EXPECT_STREQ(pad.samplePath, path.c_str());
    EXPECT_EQ(pad.volume, 0.25f);
    EXPECT_EQ(editor->refreshes, 1);
    EXPECT_EQ(instrument.loading.load(), 0);
    EXPECT_TRUE(services.dialogs.empty());
    EXPECT_TRUE(services.folderWrites.empty());
}

TEST_F(Loader, UnreadableFileKeepsItsPathButNoSample) {
    std::string path = testsupport::testFile("not-a-wave.txt");
    ASSERT_TRUE(writeFile(path, Bytes(64, 'x')));
    instrument.loadSampleFile(1, sampleFile("first.wav", 100).c_str());
    instrument.loadSampleFile(1, path.c_str());
    EXPECT_EQ(instrument.pads[1].sampleData, nullptr);
    EXPECT_EQ(instrument.pads[1].sampleLength, 0);
    EXPECT_STREQ(instrument.pads[1].samplePath, path.c_str());
}

TEST_F(Loader, LoadingIntoASoundingPadStopsOnlyItsVoices) {
    instrument.loadSampleFile(2, sampleFile("a.wav", 100).c_str());
    instrument.loadSampleFile(3, sampleFile("b.wav", 100).c_str());
    sounding(0, 2);
    sounding(5, 2);
    sounding(1, 3);
    instrument.loadSampleFile(2, sampleFile("c.wav", 50).c_str());
    EXPECT_EQ(instrument.voices[0].active, 0);
    EXPECT_EQ(instrument.voices[5].active, 0);
    EXPECT_EQ(instrument.voices[1].active, 1);
    EXPECT_EQ(instrument.pads[2].sampleLength, 50);
}

TEST_F(Loader, UnloadEmptiesThePadAndResetsItsNameWithoutRefresh) {
    instrument.loadSampleFile(7, sampleFile("hat.wav", 100).c_str());
    sounding(3, 7);
    editor->names.clear();
    instrument.unloadPad(7);
    EXPECT_EQ(instrument.pads[7].sampleData, nullptr);
    EXPECT_EQ(instrument.pads[7].samplePath, nullptr);
    EXPECT_EQ(instrument.voices[3].active, 0);
    EXPECT_EQ(editor->names, std::vector<std::string>{"7: < none > "});
    EXPECT_EQ(editor->refreshes, 1);  // the load's only

    instrument.unloadPad(7);  // an empty pad: only the name again
    EXPECT_EQ(editor->names.size(), 2u);
    EXPECT_EQ(instrument.loading.load(), 0);
}

TEST_F(Loader, PathsLongerThanThePathBufferAreRefused) {
    std::string kept = sampleFile("kept.wav", 100);
    instrument.loadSampleFile(0, kept.c_str());
    std::string tooLong = "/" + std::string(259, 'a');
    instrument.loadSampleFile(0, tooLong.c_str());
    EXPECT_STREQ(instrument.pads[0].samplePath, kept.c_str());
    EXPECT_NE(instrument.pads[0].sampleData, nullptr);

    std::string longest = "/" + std::string(258, 'b');  // 259 characters and the terminator
    instrument.loadSampleFile(0, longest.c_str());
    EXPECT_STREQ(instrument.pads[0].samplePath, longest.c_str());
    EXPECT_EQ(instrument.pads[0].sampleData, nullptr);
}

TEST_F(Loader, ShortSampleLoadsButStartsNoVoice) {
    instrument.loadSampleFile(0, sampleFile("tick.wav", 3).c_str());
    ASSERT_NE(instrument.pads[0].sampleData, nullptr);
    EXPECT_EQ(instrument.pads[0].sampleLength, 3);
    VstMidiEvent note{};
    note.type = kVstMidiType;
    note.byteSize = sizeof note;
    note.midiData[0] = char(0x90);
    note.midiData[1] = 48;
    note.midiData[2] = 100;
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&note);
    instrument.processEvents(&events);
    for (int v = 0; v < kNumVoices; v++) EXPECT_EQ(instrument.voices[v].active, 0);
}

TEST_F(Loader, CancelledDialogShowsTheWaveFilterChangesNothingAndRefreshes) {
    instrument.loadSampleFile(0, sampleFile("keep.wav", 100).c_str());
    float* before = instrument.pads[0].sampleData;
    services.hasFolder = true;
    services.storedFolder = "/home/me/kits/";
    services.cancel();
    instrument.loadSampleDialog(0);
    ASSERT_EQ(services.dialogs.size(), 1u);
    const auto& dialog = services.dialogs[0];
    EXPECT_EQ(dialog.title, "Select a WAV file");
    EXPECT_EQ(dialog.filter, std::string("Wave (*.wav)\0*.wav\0All Files (*.*)\0*.*\0\0", 40));
    EXPECT_EQ(dialog.initialDir, "/home/me/kits/");
    EXPECT_FALSE(dialog.save);
    EXPECT_EQ(dialog.capacity, 200u);
    EXPECT_EQ(instrument.pads[0].sampleData, before);
    EXPECT_EQ(editor->refreshes, 2);
    EXPECT_TRUE(services.folderWrites.empty());
}

TEST_F(Loader, DialogDoesNothingWhileAnotherLoadRuns) {
    instrument.loading.store(1);
    services.choose(sampleFile("late.wav", 10));
    instrument.loadSampleDialog(0);
    instrument.loading.store(0);
    EXPECT_TRUE(services.dialogs.empty());
    EXPECT_EQ(editor->refreshes, 0);
    EXPECT_EQ(services.folderReads, 0);
}

TEST_F(Loader, ConfirmedDialogLoadsAndTheNextOpensInItsFolder) {
    std::string path = sampleFile("snare.wav", 100);
    services.choose(path);
    instrument.loadSampleDialog(9);
    EXPECT_STREQ(instrument.pads[9].samplePath, path.c_str());
    EXPECT_NE(instrument.pads[9].sampleData, nullptr);
    EXPECT_EQ(editor->refreshes, 1);
    std::string folder = path.substr(0, path.rfind('/') + 1);
    EXPECT_EQ(services.folderWrites, std::vector<std::string>{folder});

    services.cancel();
    instrument.loadSampleDialog(9);
    EXPECT_EQ(services.dialogs[1].initialDir, folder);
}

TEST_F(Loader, NonWaveFileFromTheDialogStillRemembersItsFolder) {
    services.choose("/no/such/folder/readme.txt");
    instrument.loadSampleDialog(3);
    EXPECT_STREQ(instrument.pads[3].samplePath, "/no/such/folder/readme.txt");
    EXPECT_EQ(instrument.pads[3].sampleData, nullptr);
    EXPECT_EQ(services.folderWrites, std::vector<std::string>{"/no/such/folder/"});
}

TEST(LoaderScopes, NestedScopesLowerLoadingOnlyAtTheOutermost) {
    DrumInstrument d(nullptr);
    {
        LoaderScope outer(d);
        EXPECT_EQ(d.loading.load(), 1);
        { LoaderScope inner(d); }
        EXPECT_EQ(d.loading.load(), 1);
    }
    EXPECT_EQ(d.loading.load(), 0);
    {
        LoaderScope exporting(d, LoaderScope::kLockOnly);
        EXPECT_EQ(d.loading.load(), 0);
        {
            LoaderScope restoring(d);
            EXPECT_EQ(d.loading.load(), 1);
        }
        EXPECT_EQ(d.loading.load(), 0);
    }
}

TEST(LoaderScopes, WaitsUntilTheAudioThreadLeaves) {
    DrumInstrument d(nullptr);
    d.audioBusy.store(1);
    std::atomic<bool> entered{false};
    std::thread loader([&] {
        LoaderScope scope(d);
        entered = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(entered.load());
    EXPECT_EQ(d.loading.load(), 1);
    d.audioBusy.store(0);
    loader.join();
    EXPECT_TRUE(entered.load());
    EXPECT_EQ(d.loading.load(), 0);
}

TEST(LoaderScopes, SecondLoaderWaitsForTheFirst) {
    DrumInstrument d(nullptr);
    std::atomic<bool> entered{false};
    std::thread second;
    {
        LoaderScope first(d, LoaderScope::kLockOnly);
        second = std::thread([&] {
            LoaderScope scope(d);
            entered = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_FALSE(entered.load());
    }
    second.join();
    EXPECT_TRUE(entered.load());
}

// The audio side of the handshake as the renderer does it: raise audioBusy,
// test loading, read pad samples and sounding voices' buffers only when it is
// clear. It only reads: the voices themselves belong to the real renderer.
void audioBlock(DrumInstrument& d, unsigned& next, float& sink) {
    d.audioBusy.store(1);
    if (!d.loading.load()) {
        const Pad& pad = d.pads[next++ % kNumPads];
        if (pad.sampleData && pad.sampleLength > 0) sink += pad.sampleData[0] + pad.sampleData[pad.sampleLength - 1];
        for (int v = 0; v < kNumVoices; v++) {
            const Voice& voice = d.voices[v];
            if (voice.active && voice.sampleData && voice.sampleLength > 0)
                sink += voice.sampleData[0] + voice.sampleData[voice.sampleLength - 1];
        }
    }
    d.audioBusy.store(0);
}

// Run under linux-tsan and linux-asan: a race or a read of a freed buffer
// fails the test.
TEST(LoaderStress, AudioKeepsRunningWhileLoadersReplacePads) {
    ScopedFakeServices services;
    DrumInstrument d(nullptr);
    std::vector<std::string> files = {sampleFile("s1.wav", 400), sampleFile("s2.wav", 64),
                                      sampleFile("s3.wav", 200, 22050)};
    std::atomic<bool> stop{false};
    float sink = 0;
    std::thread audio([&] {
        std::vector<float> buffers(kNumOutputs * 64);
        float* outputs[kNumOutputs];
        for (int i = 0; i < kNumOutputs; i++) outputs[i] = &buffers[i * 64];
        VstMidiEvent note{};
        note.type = kVstMidiType;
        note.byteSize = sizeof note;
        note.midiData[0] = char(0x90);
        note.midiData[2] = 100;
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&note);
        unsigned next = 0;
        while (!stop.load()) {
            note.midiData[1] = char(48 + next % kNumPads);
            d.processEvents(&events);
            d.processReplacing(nullptr, outputs, 64);
            audioBlock(d, next, sink);
        }
    });
    std::thread unloader([&] {
        for (int i = 0; i < 1000; i++) d.unloadPad((i * 7) % kNumPads);
    });
    for (int i = 0; i < 1000; i++) {
        int pad = i % kNumPads;
        if (i % 5 == 4)
            d.unloadPad(pad);
        else
            d.loadSampleFile(pad, files[i % files.size()].c_str());
    }
    unloader.join();
    stop = true;
    audio.join();
    EXPECT_EQ(d.loading.load(), 0);
    EXPECT_EQ(d.audioBusy.load(), 0);
    EXPECT_EQ(sink, sink);  // the reads are used
}

}  // namespace

namespace {

// Notes whether the audio was held when a message came up.
class HeldAtMessages : public testsupport::ScopedFakeServices {
public:
    explicit HeldAtMessages(DrumInstrument& watched) : watched(watched) {}
    void showMessage(const char* text, const char* caption) override {
        FakeServices::showMessage(text, caption);
        held.push_back(watched.loading.load());
    }
    DrumInstrument& watched;
    std::vector<int> held;
};

}  // namespace

// Files are read while the old kit plays on; only the swap holds the audio.
TEST_F(Loader, FilesAreReadWhileTheKitPlaysAndSwappedInUnderTheHandshake) {
    HeldAtMessages messages(instrument);
    editor->watched = &instrument;
    std::string notABank = sampleFile("not-a-bank.kbk", 10);
    kitformat::Chunk c = kitformat::defaultChunk();
    std::strcpy(c.bankPath, notABank.c_str());
    for (int p = 0; p < 3; p++)
        std::strcpy(c.pads[p].path, sampleFile("pad" + std::to_string(p) + ".wav", 100 + p).c_str());
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(c, bytes.data());
    instrument.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()), false);

    EXPECT_EQ(messages.held, std::vector<int>({0})) << "the bank was read without holding the audio";
    EXPECT_EQ(editor->heldAtNames, std::vector<int>(kNumPads, 1)) << "every pad changed under the handshake";
    for (int p = 0; p < 3; p++) EXPECT_EQ(instrument.pads[p].sampleLength, 100 + p);
    EXPECT_EQ(instrument.loading.load(), 0);

    editor->heldAtNames.clear();
    instrument.readBankFile(notABank.c_str());
    instrument.loadSampleFile(5, sampleFile("five.wav", 50).c_str());
    EXPECT_EQ(messages.held, std::vector<int>({0, 0}));
    EXPECT_EQ(editor->heldAtNames, std::vector<int>({1})) << "the sample load empties its pad under the handshake";
    EXPECT_EQ(instrument.pads[5].sampleLength, 50);
}
