// The instrument's editor: the host-facing editor on one side, a 670 by 400
// toolkit window with 304 controls (nineteen families of sixteen, one column
// per pad) on the other. The controls write the pads directly.
#pragma once

#include <atomic>
#include <thread>

#include "editor/EditorGeometry.h"
#include "instrument/PadEditor.h"
#include "toolkit/AppWindow.h"
#include "toolkit/ButtonsText.h"
#include "toolkit/KnobFader.h"
#include "vst/aeffect.h"

class DrumInstrument;

namespace editor {

// First control index of each family; control = family + pad.
enum Family {
    kVolumeFader = 0,
    kPanKnob = 16,
    kPitchKnob = 32,
    kAmpDecayKnob = 48,
    kPitchDecayKnob = 64,
    kNoteDown = 80,
    kNoteUp = 96,
    kChokeOff = 112,
    kChoke1 = 128,
    kChoke2 = 144,
    kOut1 = 160,
    kOut2 = 176,
    kOut3 = 192,
    kOut4 = 208,
    kPadName = 224,
    kNoteNumber = 240,
    kUnload = 256,
    kMute = 272,
    kSolo = 288,
    kControlCount = 304,
};

}  // namespace editor

class InstrumentEditor : public PadEditor, public AppWindow {
public:
    explicit InstrumentEditor(DrumInstrument* instrument);
    ~InstrumentEditor() override;
    InstrumentEditor(const InstrumentEditor&) = delete;
    InstrumentEditor& operator=(const InstrumentEditor&) = delete;

    // Host side.
    int32_t getRect(ERect** rect) override;
    int32_t open(void* parent) override;
    void close() override;
    void idle() override;
    void update() override;
    // Both may come from any thread: only the thread that opened the window
    // sets and draws controls; for others the next idle or opening shows
    // the pads.
    void refreshFromPads() override;
    void setPadName(int pad, const char* text) override;

    // Window side.
    void WinPaint() override;
    void MouseDown(HWND hwnd, int x, int y) override;
    void MouseUp(HWND hwnd, int x, int y) override;
    void MouseMove(HWND hwnd, int x, int y) override;

    // The control at index i (null when it could not be made).
    CBaseControl* control(int i) const {
        return m_controls && i >= 0 && i < editor::kControlCount ? m_controls[i] : nullptr;
    }

    ERect m_rect;
    CBaseControl** m_controls;
    int32_t m_captured;
    CButtonFactory* m_noteDownFactory;
    CButtonFactory* m_noteUpFactory;
    CButtonFactory* m_chokeFactory;
    CButtonFactory* m_outFactory;
    CButtonFactory* m_unloadFactory;
    CButtonFactory* m_muteFactory;
    CButtonFactory* m_soloFactory;
    CFaderFactory* m_faderFactory;
    CKnobFactory* m_knobFactory;
    CStaticTextFactory* m_nameTextFactory;
    CStaticTextFactory* m_noteTextFactory;
    DrumInstrument* m_instrument;

private:
    bool onWindowThread() const { return m_windowThread.load() == std::this_thread::get_id(); }
    // Sets every control from the pads and repaints; while a loader on
    // another thread holds them, leaves that to a later idle.
    void showPads();
    // Enables the window again once the LOAD dialog has been answered.
    void enableAfterLoadDialog();
    void createFactories();
    void createControls(int pad);
    void setState(int i, float state);
    void setText(int i, const char* text);
    void showNote(int pad);
    // Turns the other buttons of a radio row off: count buttons from first.
    void selectOnly(int first, int count, int pad, int chosen);
    void clicked(int i);

    std::atomic<std::thread::id> m_windowThread;  // none while closed
    std::atomic<bool> m_stale;                    // pads changed on another thread
    bool m_disabledForLoad;                       // the LOAD dialog is open
};
