// The instrument's editor: layout, the refresh from the pads, and the mouse
// driven through the window procedure of its (off-screen) window.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "formats/KitFormats.h"
#include "editor/InstrumentEditor.h"
#include "instrument/DrumInstrument.h"
#include "support/EditedInstrument.h"
#include "support/FakeServices.h"
#include "support/TempFolder.h"
#include "support/AudioKit.h"
#include "support/WaveWriter.h"

using namespace editor;

namespace {

// Records whether the editor's window took input while a dialog ran.
class Services : public testsupport::ScopedFakeServices {
public:
    bool chooseFile(const platform::FileDialog& dialog, char* path, size_t capacity) override {
        enabledDuringDialog.push_back(window && IsWindowEnabled(window));
        return FakeServices::chooseFile(dialog, path, capacity);
    }
    HWND window = nullptr;
    std::vector<bool> enabledDuringDialog;
};

std::string text(CBaseControl* c) {
    return c && c->m_type == ctStaticText ? static_cast<CStaticText*>(c)->m_text : "(not a text)";
}

// A settings chunk whose pads name files that need not exist (the names show
// all the same), with notes from firstNote; pads from emptyFrom on have no file.
std::vector<uint8_t> kitChunk(const std::string& prefix, int firstNote, int emptyFrom = kNumPads) {
    kitformat::Chunk c = kitformat::defaultChunk();
    for (int p = 0; p < kNumPads; p++) {
        c.pads[p].settings.midiNote = firstNote + p;
        c.pads[p].settings.pan = float(p) / 16;
        if (p < emptyFrom) std::snprintf(c.pads[p].path, sizeof c.pads[p].path, "/nowhere/%s%d.wav", prefix.c_str(), p);
    }
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(c, bytes.data());
    return bytes;
}

class Editor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ui, nullptr);
        ASSERT_EQ(ui->open(nullptr), 1);
        services.window = ui->m_hWnd;
    }

    Pad& pad(int p) { return instrument.pads[p]; }
    // What a host does between two of its events.
    void idle() { instrument.dispatcher(effEditIdle, 0, 0, nullptr, 0.0f); }
    void restore(std::vector<uint8_t>& chunk) {
        instrument.dispatcher(effSetChunk, 0, VstIntPtr(chunk.size()), chunk.data(), 0.0f);
    }
    CBaseControl* at(int i) { return ui->control(i); }
    bool on(int i) { return at(i)->GetState() > 0.5f; }

    void send(UINT message, int x, int y) {
        SendMessageA(ui->m_hWnd, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    void press(int x, int y) { send(WM_LBUTTONDOWN, x, y); }
    void click(int x, int y) {
        send(WM_LBUTTONDOWN, x, y);
        send(WM_LBUTTONUP, x, y);
    }
    void clickControl(int i) {
        int x, y, w, h;
        at(i)->GetRegion(&x, &y, &w, &h);
        click(x + w / 2, y + h / 2);
    }

    Services services;
    testsupport::EditedInstrument instrument{nullptr};
    InstrumentEditor* ui = static_cast<InstrumentEditor*>(instrument.padEditor());
};

TEST(EditorLayout, ConstructionRegistersAndLaysOutEveryControl) {
    testsupport::EditedInstrument instrument(nullptr);
    auto* ui = static_cast<InstrumentEditor*>(instrument.padEditor());
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(instrument.getAeffect()->flags, 0x131);
    ERect* rect = nullptr;
    EXPECT_EQ(ui->getRect(&rect), 0);
    ASSERT_EQ(rect, &ui->m_rect);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 400);
    EXPECT_EQ(rect->right, 670);
    EXPECT_EQ(ui->m_captured, -1);
    EXPECT_EQ(ui->m_hWnd, nullptr);
    for (int i = 0; i < kControlCount; i++) ASSERT_NE(ui->control(i), nullptr) << i;

    // Names are " < none > " until the first refresh; pairs share a cell.
    for (int p = 0; p < 16; p++) EXPECT_EQ(text(ui->control(kPadName + p)), " < none > ");
    auto position = [&](int i) { return std::make_pair(ui->control(i)->m_x, ui->control(i)->m_y); };
    EXPECT_EQ(position(kPadName + 0), std::make_pair(65, 56));
    EXPECT_EQ(position(kPadName + 1), std::make_pair(56, 70));
    EXPECT_EQ(position(kPadName + 15), std::make_pair(588, 70));
    EXPECT_EQ(text(ui->control(kNoteNumber + 3)), "00");

    // Index = family + pad: 133 is pad 5's choke-1 button.
    CBaseControl* choke1 = ui->control(133);
    EXPECT_EQ(choke1->m_type, ctLatchingButton);
    EXPECT_EQ(position(133), std::make_pair(68 + 38 * 5, 205));
    EXPECT_EQ(ui->control(15)->m_type, ctFader);
    EXPECT_EQ(position(15), std::make_pair(67 + 38 * 15, 296));
    EXPECT_EQ(ui->control(64)->m_type, ctKnob);
    EXPECT_EQ(position(303), std::make_pair(75 + 38 * 15, 250));
}

TEST(EditorLayout, EditorGoesWithItsInstrumentAndLeavesNoGdiObjects) {
    int baseline = platform::gdi::liveObjects();
    {
        testsupport::EditedInstrument instrument(nullptr);
        ASSERT_EQ(instrument.padEditor()->open(nullptr), 1);  // left open: the instrument closes it
    }
    EXPECT_EQ(platform::gdi::liveObjects(), baseline);
}

TEST_F(Editor, OpenShowsThePadsAndReopenRefreshesThem) {
    pad(2).volume = 0.25f;
    pad(2).pan = 0.1f;
    pad(2).pitchDecay = 0.9f;
    pad(2).choke = 2;
    pad(2).output = 3;
    pad(2).mute = 1;
    pad(2).midiNote = 7;
    ui->close();
    EXPECT_EQ(ui->m_hWnd, nullptr);
    ASSERT_EQ(ui->open(nullptr), 1);
    EXPECT_FLOAT_EQ(at(kVolumeFader + 2)->GetState(), 0.25f);
    EXPECT_FLOAT_EQ(at(kPanKnob + 2)->GetState(), 0.1f);
    EXPECT_FLOAT_EQ(at(kPitchDecayKnob + 2)->GetState(), 0.9f);
    EXPECT_TRUE(on(kChoke2 + 2) && !on(kChokeOff + 2) && !on(kChoke1 + 2));
    EXPECT_TRUE(on(kOut4 + 2) && !on(kOut1 + 2));
    EXPECT_TRUE(on(kMute + 2));
    EXPECT_FALSE(on(kSolo + 2));
    EXPECT_EQ(text(at(kNoteNumber + 2)), "7");
    EXPECT_EQ(text(at(kNoteNumber + 3)), "51");
    EXPECT_EQ(text(at(kPadName + 2)), "< none >");
    EXPECT_TRUE(on(kChokeOff + 3) && on(kOut1 + 3));
    // Changed while closed: shown at the next opening.
    ui->close();
    pad(2).output = 1;
    pad(2).mute = 0;
    ASSERT_EQ(ui->open(nullptr), 1);
    EXPECT_TRUE(on(kOut2 + 2) && !on(kOut4 + 2));
    EXPECT_FALSE(on(kMute + 2));
    // A value out of range leaves its whole row off.
    pad(5).choke = 7;
    ui->refreshFromPads();
    EXPECT_FALSE(on(kChokeOff + 5) || on(kChoke1 + 5) || on(kChoke2 + 5));
}

TEST_F(Editor, RefreshShowsFileNames) {
    instrument.loadSampleFile(0, "/nowhere/Samples/Kick 01.wav");  // unreadable, but the name shows
    instrument.loadSampleFile(1, "/nowhere/Drums/Snare.Hard.wav");
    EXPECT_EQ(text(at(kPadName + 0)), "Kick 01");
    EXPECT_EQ(text(at(kPadName + 1)), "Snare");
    EXPECT_EQ(text(at(kPadName + 2)), "< none >");
    instrument.unloadPad(1);
    EXPECT_EQ(text(at(kPadName + 1)), " < none > ");
}

TEST_F(Editor, LoadsOnAnotherThreadShowAtTheNextIdle) {
    std::vector<uint8_t> kit = kitChunk("Kick", 60);
    std::thread([&] { restore(kit); }).join();
    // The host's thread left the controls alone: the editor draws them.
    EXPECT_EQ(text(at(kPadName + 0)), "< none >");
    EXPECT_EQ(text(at(kNoteNumber + 0)), "48");
    idle();
    EXPECT_EQ(text(at(kPadName + 0)), "Kick0");
    EXPECT_EQ(text(at(kPadName + 15)), "Kick15");
    EXPECT_EQ(text(at(kNoteNumber + 15)), "75");
    EXPECT_FLOAT_EQ(at(kPanKnob + 4)->GetState(), 0.25f);

    // Pads emptied and loaded on another thread: their labels wait as well.
    std::vector<uint8_t> fewer = kitChunk("Snare", 60, 4);
    std::thread([&] {
        restore(fewer);
        instrument.loadSampleFile(9, "/nowhere/Clap.wav");
    }).join();
    EXPECT_EQ(text(at(kPadName + 4)), "Kick4");
    EXPECT_EQ(text(at(kPadName + 9)), "Kick9");
    idle();
    EXPECT_EQ(text(at(kPadName + 3)), "Snare3");
    EXPECT_EQ(text(at(kPadName + 4)), "< none >");
    EXPECT_EQ(text(at(kPadName + 9)), "Clap");
    // One refresh per change: an idle with nothing new leaves the controls be.
    at(kPanKnob + 4)->SetState(0.9f, false);
    idle();
    EXPECT_FLOAT_EQ(at(kPanKnob + 4)->GetState(), 0.9f);

    // Restored while closed: the next opening shows it.
    ui->close();
    std::thread([&] { restore(kit); }).join();
    ASSERT_EQ(ui->open(nullptr), 1);
    EXPECT_EQ(text(at(kPadName + 4)), "Kick4");
}

TEST_F(Editor, IdleDoesNotWaitForALoaderOnAnotherThread) {
    std::promise<void> loaded, idled;
    std::thread host([&] {
        LoaderScope scope(instrument);
        instrument.loadSampleFile(0, "/nowhere/Busy.wav");
        loaded.set_value();
        // Lets go once the editor has idled, or after a while should it wait.
        idled.get_future().wait_for(std::chrono::seconds(5));
    });
    loaded.get_future().wait();
    idle();
    EXPECT_EQ(text(at(kPadName + 0)), "< none >") << "shown once the loader is done";
    idled.set_value();
    host.join();
    idle();
    EXPECT_EQ(text(at(kPadName + 0)), "Busy");
}

TEST_F(Editor, RestoresOnAnotherThreadNeverRaceTheEditorsDrawing) {
    // Run under the thread sanitizer: a host restoring its project on one
    // thread while its user-interface thread idles and paints the editor.
    std::vector<uint8_t> kits[2] = {kitChunk("Kick", 40), kitChunk("Snare", 70, 8)};
    std::atomic<bool> done{false};
    std::thread host([&] {
        for (int round = 0; round < 60; round++) restore(kits[round % 2]);
        done = true;
    });
    while (!done) {
        idle();
        ui->update();
        SendMessageA(ui->m_hWnd, WM_PAINT, 0, 0);
    }
    host.join();
    idle();
    EXPECT_EQ(text(at(kPadName + 2)), "Snare2");
    EXPECT_EQ(text(at(kPadName + 12)), "< none >");
    EXPECT_EQ(text(at(kNoteNumber + 1)), "71");
}

TEST_F(Editor, SoloClicksWhileAHostRestoresAndTheAudioPlays) {
    // Run under the thread sanitizer: the user flips solo on the editor's
    // thread while the host restores kits on another and the audio plays.
    testsupport::TempFolder folder;
    ASSERT_TRUE(wavetest::writeFile(folder / "hit.wav",
                                    wavetest::wave(wavetest::Format{}, wavetest::samples(wavetest::testSignal(2000), 2))));
    std::vector<uint8_t> kits[2];
    for (int k = 0; k < 2; k++) {
        kitformat::Chunk c = kitformat::defaultChunk();
        for (int p = 0; p < 4; p++) {
            c.pads[p].settings.midiNote = 60;
            c.pads[p].settings.solo = p == k;
            std::snprintf(c.pads[p].path, sizeof c.pads[p].path, "%s", (folder / "hit.wav").c_str());
        }
        kits[k].resize(kitformat::kChunkSize);
        kitformat::encodeChunk(c, kits[k].data());
    }
    std::atomic<bool> done{false};
    std::thread host([&] {
        for (int round = 0; round < 20; round++) restore(kits[round % 2]);
        done = true;
    });
    std::thread audio([&] {
        audiokit::Outputs out(64);
        audiokit::Events notes;
        notes.noteOn(60, 100, 3);
        while (!done) {
            instrument.processEvents(notes.get());
            instrument.processReplacing(nullptr, out.ptrs, 64);
        }
    });
    for (int click = 0; !done; click++) {
        clickControl(kSolo + 3);
        idle();
    }
    host.join();
    audio.join();
    int flags = 0;
    for (int p = 0; p < kNumPads; p++) flags += pad(p).solo;
    EXPECT_EQ(instrument.soloCount, flags);
}

TEST_F(Editor, LoadStripOpensTheDialogForThePadUnderThePointer) {
    services.choose("/nowhere/a/First.wav");
    press(60, 60);
    services.choose("/nowhere/a/Second.wav");
    press(60, 75);
    services.choose("/nowhere/a/Last.wav");
    press(655, 75);
    ASSERT_EQ(services.dialogs.size(), 3u);
    EXPECT_FALSE(services.dialogs[0].save);
    EXPECT_STREQ(pad(0).samplePath, "/nowhere/a/First.wav");
    EXPECT_STREQ(pad(1).samplePath, "/nowhere/a/Second.wav");
    EXPECT_STREQ(pad(15).samplePath, "/nowhere/a/Last.wav");
    EXPECT_EQ(text(at(kPadName + 15)), "Last");
    // Disabled while the dialog runs, enabled after.
    EXPECT_EQ(services.enabledDuringDialog, std::vector<bool>(3, false));
    EXPECT_TRUE(IsWindowEnabled(ui->m_hWnd));

    // The strip's edges fall through to the controls.
    press(55, 60);
    press(60, 83);
    EXPECT_EQ(services.dialogs.size(), 3u);
}

TEST_F(Editor, LoadDialogLeavesTheHostRunningUntilItIsAnswered) {
    services.holdDialogs();
    services.choose("/nowhere/b/Late.wav");
    press(60, 60);
    idle();
    idle();
    ASSERT_EQ(services.dialogs.size(), 1u);
    EXPECT_EQ(pad(0).samplePath, nullptr);
    EXPECT_FALSE(IsWindowEnabled(ui->m_hWnd)) << "modal for the editor";
    // No second dialog of any kind while one is open.
    press(60, 75);
    press(300, 20);
    press(355, 20);
    EXPECT_EQ(services.dialogs.size(), 1u);

    services.releaseDialogs();
    idle();
    EXPECT_STREQ(pad(0).samplePath, "/nowhere/b/Late.wav");
    EXPECT_EQ(text(at(kPadName + 0)), "Late");
    EXPECT_EQ(services.folderWrites, std::vector<std::string>{"/nowhere/b/"});
    EXPECT_TRUE(IsWindowEnabled(ui->m_hWnd));
    EXPECT_EQ(services.dialogsClosedUnanswered(), 0);

    // A cancelled dialog loads nothing; the next one opens in the folder.
    services.holdDialogs();
    services.cancel();
    press(60, 75);
    services.releaseDialogs();
    idle();
    EXPECT_EQ(pad(1).samplePath, nullptr);
    EXPECT_TRUE(IsWindowEnabled(ui->m_hWnd));
    services.choose("/nowhere/b/Now.wav");
    press(60, 75);
    EXPECT_EQ(services.dialogs.back().initialDir, "/nowhere/b/");
    EXPECT_STREQ(pad(1).samplePath, "/nowhere/b/Now.wav");
}

TEST_F(Editor, BankDialogsFinishAtTheIdleAfterTheAnswer) {
    testsupport::TempFolder folder;
    std::string bank = folder / "kit.kbk";
    instrument.loadSampleFile(0, "/nowhere/Kick.wav");
    services.holdDialogs();
    services.choose(bank);
    press(355, 20);
    idle();
    EXPECT_TRUE(IsWindowEnabled(ui->m_hWnd));
    EXPECT_FALSE(std::ifstream(bank).good());
    services.releaseDialogs();
    idle();
    EXPECT_TRUE(std::ifstream(bank).good());

    instrument.unloadPad(0);
    services.holdDialogs();
    services.choose(bank);
    press(300, 20);
    idle();
    EXPECT_STREQ(instrument.bankPath, "");
    services.releaseDialogs();
    idle();
    EXPECT_STREQ(instrument.bankPath, bank.c_str());
    EXPECT_EQ(text(at(kPadName + 0)), "Kick");
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(Editor, ClosingTheEditorOrThePluginClosesAnOpenDialog) {
    services.holdDialogs();
    services.choose("/nowhere/c/Lost.wav");
    press(60, 60);
    ui->close();
    EXPECT_EQ(services.dialogsClosedUnanswered(), 1);
    services.releaseDialogs();
    ASSERT_EQ(ui->open(nullptr), 1);
    idle();
    EXPECT_EQ(pad(0).samplePath, nullptr);
    EXPECT_TRUE(IsWindowEnabled(ui->m_hWnd));
    services.choose("/nowhere/c/Found.wav");
    press(60, 60);
    EXPECT_STREQ(pad(0).samplePath, "/nowhere/c/Found.wav") << "the next dialog opens";

    services.holdDialogs();
    {
        testsupport::EditedInstrument other(nullptr);
        ASSERT_EQ(other.padEditor()->open(nullptr), 1);
        services.choose("/nowhere/c/Never.kbk");
        other.importBank();
        EXPECT_TRUE(other.fileDialogOpen());
    }
    EXPECT_EQ(services.dialogsClosedUnanswered(), 2);
}

TEST_F(Editor, BankButtonsStartImportAndExport) {
    press(300, 20);
    ASSERT_EQ(services.dialogs.size(), 1u);
    EXPECT_FALSE(services.dialogs[0].save);
    press(355, 20);
    ASSERT_EQ(services.dialogs.size(), 2u);
    EXPECT_TRUE(services.dialogs[1].save);
    EXPECT_EQ(services.enabledDuringDialog, std::vector<bool>(2, true));
    press(283, 20);
    press(430, 20);
    press(300, 13);
    EXPECT_EQ(services.dialogs.size(), 2u);
}

TEST_F(Editor, NoteButtonsStepAndClamp) {
    pad(0).midiNote = 0;
    pad(1).midiNote = 127;
    ui->refreshFromPads();
    clickControl(kNoteDown + 0);
    EXPECT_EQ(pad(0).midiNote, 0);
    EXPECT_EQ(text(at(kNoteNumber + 0)), "0");
    clickControl(kNoteUp + 1);
    EXPECT_EQ(pad(1).midiNote, 127);
    EXPECT_EQ(text(at(kNoteNumber + 1)), "127");
    clickControl(kNoteUp + 0);
    clickControl(kNoteUp + 0);
    clickControl(kNoteDown + 1);
    EXPECT_EQ(pad(0).midiNote, 2);
    EXPECT_EQ(text(at(kNoteNumber + 0)), "2");
    EXPECT_EQ(pad(1).midiNote, 126);
}

TEST_F(Editor, OutputAndChokeRowsAreRadioButtons) {
    clickControl(kOut1 + 2);  // already on: stays on
    EXPECT_TRUE(on(kOut1 + 2));
    EXPECT_EQ(pad(2).output, 0);
    clickControl(kOut3 + 2);
    EXPECT_EQ(pad(2).output, 2);
    EXPECT_TRUE(on(kOut3 + 2));
    EXPECT_FALSE(on(kOut1 + 2) || on(kOut2 + 2) || on(kOut4 + 2));
    EXPECT_TRUE(on(kOut1 + 3));  // the neighbour is untouched

    clickControl(kChoke2 + 4);
    EXPECT_EQ(pad(4).choke, 2);
    EXPECT_TRUE(on(kChoke2 + 4));
    EXPECT_FALSE(on(kChokeOff + 4) || on(kChoke1 + 4));
    clickControl(kChoke2 + 4);
    EXPECT_EQ(pad(4).choke, 2);
    EXPECT_TRUE(on(kChoke2 + 4));
}

TEST_F(Editor, KnobDragFollowsThePointerBeyondItsAreaUntilRelease) {
    int x, y, w, h;
    at(kPitchKnob + 3)->GetRegion(&x, &y, &w, &h);
    press(x + w / 2, y + h / 2);
    EXPECT_EQ(ui->m_captured, kPitchKnob + 3);
    send(WM_MOUSEMOVE, x + w / 2, y + h / 2 - 10);  // up raises the value
    float raised = pad(3).pitch;
    EXPECT_GT(raised, 0.5f);
    send(WM_MOUSEMOVE, 600, y + h + 30);  // far outside the knob
    EXPECT_LT(pad(3).pitch, raised);
    EXPECT_FLOAT_EQ(pad(3).pitch, at(kPitchKnob + 3)->GetState());
    float released = pad(3).pitch;
    send(WM_LBUTTONUP, 600, y + h + 30);
    EXPECT_EQ(ui->m_captured, -1);
    send(WM_MOUSEMOVE, 600, 0);
    EXPECT_EQ(pad(3).pitch, released);
    // Moves with no button held change nothing.
    send(WM_MOUSEMOVE, x + w / 2, y);
    EXPECT_EQ(pad(3).pitch, released);
    EXPECT_FLOAT_EQ(pad(3).pan, 0.5f);
}

TEST_F(Editor, FaderDragSetsVolumeAndDragsContinueAboveTheWindow) {
    int x, y, w, h;
    at(kVolumeFader + 6)->GetRegion(&x, &y, &w, &h);
    press(x + w / 2, y + h / 2);
    ASSERT_EQ(ui->m_captured, kVolumeFader + 6);
    send(WM_MOUSEMOVE, x + w / 2, y + h / 2 + 5);
    EXPECT_LT(pad(6).volume, 0.7f);
    EXPECT_FLOAT_EQ(pad(6).volume, at(kVolumeFader + 6)->GetState());
    send(WM_LBUTTONUP, x + w / 2, y + h / 2 + 5);

    // Dragged up past the window's top edge, a knob stays at its top: the
    // position is a small negative number there, not 65535.
    at(kPitchKnob + 0)->GetRegion(&x, &y, &w, &h);
    press(x + 5, y + 5);
    send(WM_MOUSEMOVE, x + 5, 5);
    EXPECT_FLOAT_EQ(pad(0).pitch, 1.0f);
    send(WM_MOUSEMOVE, x + 5, -1);
    EXPECT_FLOAT_EQ(pad(0).pitch, 1.0f);
    send(WM_LBUTTONUP, x + 5, -1);
}

TEST_F(Editor, MuteSoloAndTheSoloCount) {
    clickControl(kMute + 1);
    EXPECT_EQ(pad(1).mute, 1);
    clickControl(kMute + 1);
    EXPECT_EQ(pad(1).mute, 0);
    clickControl(kSolo + 3);
    clickControl(kSolo + 9);
    EXPECT_EQ(pad(3).solo, 1);
    EXPECT_EQ(pad(9).solo, 1);
    EXPECT_EQ(instrument.soloCount, 2);
    ui->refreshFromPads();
    EXPECT_EQ(instrument.soloCount, 2);
    clickControl(kSolo + 3);
    EXPECT_EQ(pad(3).solo, 0);
    EXPECT_EQ(instrument.soloCount, 1);
}

TEST_F(Editor, UnloadButtonEmptiesItsPad) {
    instrument.loadSampleFile(6, "/nowhere/Clap.wav");
    instrument.loadSampleFile(7, "/nowhere/Rim.wav");
    EXPECT_EQ(text(at(kPadName + 6)), "Clap");
    clickControl(kUnload + 6);
    EXPECT_EQ(pad(6).samplePath, nullptr);
    EXPECT_EQ(text(at(kPadName + 6)), " < none > ");
    EXPECT_STREQ(pad(7).samplePath, "/nowhere/Rim.wav");
}

TEST_F(Editor, SnapshotShowsThePanelAndTheControls) {
    testsupport::TempFolder folder;
    EXPECT_TRUE(platform::gdi::writeClientPng(ui->m_hWnd, (folder / "editor.png").c_str()));
    // The name strip is black behind the texts; a name paints in its colour.
    HDC dc = GetDC(ui->m_hWnd);
    int yellow = 0;
    for (int y = 56; y < 68; y++)
        for (int x = 65; x < 128; x++) yellow += GetPixel(dc, x, y) != GetPixel(dc, 64, 57);
    ReleaseDC(ui->m_hWnd, dc);
    EXPECT_GT(yellow, 10);
}

}  // namespace
