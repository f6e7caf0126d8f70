#include "editor/InstrumentEditor.h"

#include <cstdio>
#include <new>

#include "editor/DisplayName.h"
#include "instrument/DrumInstrument.h"
#include "platform/Platform.h"

using namespace editor;

namespace {

static_assert(kColumns == kNumPads, "one column per pad");
static_assert(bitmap::kKnobFrames == kKnobFrames, "the knob strip is cut as it was drawn");
static_assert(spot::kPadNameEvenBox.w == spot::kPadNameOddBox.w && spot::kPadNameEvenBox.h == spot::kPadNameOddBox.h,
              "every pad name is made by one factory");
static_assert(kControlCount == 19 * kNumPads && kPanKnob - kVolumeFader == kNumPads &&
                  kSolo + kNumPads == kControlCount,
              "families of one control per pad, one after the other");

char kFace[] = "Arial";
char kNoName[] = " < none > ";
char kNoNote[] = "00";

template <class Factory, class Control>
CBaseControl* make(Factory* factory, Control* (Factory::*create)(int, int), int x, int y) {
    return factory ? (factory->*create)(x, y) : nullptr;
}

CBaseControl* makeText(CStaticTextFactory* factory, int x, int y, char* text) {
    return factory ? factory->CreateStaticText(x, y, text) : nullptr;
}

}  // namespace

InstrumentEditor::InstrumentEditor(DrumInstrument* instrument)
    : PadEditor(instrument),
      AppWindow(platform::gdi::thisModule(), kWidth, kHeight, bitmap::kBackground),
      m_rect{0, 0, kHeight, kWidth},
      m_controls(nullptr),
      m_captured(-1),
      m_instrument(nullptr),
      m_windowThread(std::thread::id()),
      m_stale(false),
      m_disabledForLoad(false) {
    createFactories();
    m_controls = new (std::nothrow) CBaseControl*[kControlCount]();
    if (m_controls)
        for (int p = 0; p < kNumPads; p++) createControls(p);
    m_instrument = instrument;
    instrument->attachEditor(this);
}

void InstrumentEditor::createFactories() {
    namespace id = bitmap;
    HINSTANCE module = platform::gdi::thisModule();
    // One mask for all three states; images off, held, on.
    auto buttons = [module](int mask, int off, int held, int on) {
        return new (std::nothrow) CButtonFactory(module, mask, mask, mask, off, held, on);
    };
    m_noteDownFactory = buttons(id::kNoteDownMask, id::kNoteDownReleased, id::kNoteDownPressed, id::kNoteDownReleased);
    m_noteUpFactory = buttons(id::kNoteUpMask, id::kNoteUpReleased, id::kNoteUpPressed, id::kNoteUpReleased);
    m_chokeFactory = buttons(id::kChokeMask, id::kChokeUnlit, id::kChokePressed, id::kChokeLit);
    m_outFactory = buttons(id::kOutMask, id::kOutUnlit, id::kOutPressed, id::kOutLit);
    m_unloadFactory = buttons(id::kUnloadMask, id::kUnloadReleased, id::kUnloadPressed, id::kUnloadReleased);
    m_muteFactory = buttons(id::kMuteSoloMask, id::kMuteUnlit, id::kMutePressed, id::kMuteLit);
    m_soloFactory = buttons(id::kMuteSoloMask, id::kSoloUnlit, id::kSoloPressed, id::kSoloLit);
    m_faderFactory = new (std::nothrow)
        CFaderFactory(module, id::kFaderTrack, id::kFaderTrackMask, id::kFaderThumb, id::kFaderThumbMask, false);
    m_knobFactory = new (std::nothrow) CKnobFactory(module, id::kKnobStrip, id::kKnobStripMask, false);
    m_nameTextFactory = new (std::nothrow)
        CStaticTextFactory(module, kTextHeight, kFace, spot::kPadNameEvenBox.w, spot::kPadNameEvenBox.h, kPadNameColor);
    m_noteTextFactory = new (std::nothrow) CStaticTextFactory(module, kTextHeight, kFace, spot::kNoteNumberBox.w,
                                                              spot::kNoteNumberBox.h, kNoteNumberColor);
}

// One pad's column, in the order of the families.
void InstrumentEditor::createControls(int p) {
    const int dx = kColumn * p;
    CBaseControl** c = m_controls + p;
    auto fader = [&](const Spot& s) { return make(m_faderFactory, &CFaderFactory::CreateFader, s.x + dx, s.y); };
    auto knob = [&](const Spot& s) { return make(m_knobFactory, &CKnobFactory::CreateKnob, s.x + dx, s.y); };
    auto latching = [&](CButtonFactory* f, const Spot& s) {
        return make(f, &CButtonFactory::CreateLatchingButton, s.x + dx, s.y);
    };
    auto momentary = [&](CButtonFactory* f, const Spot& s) {
        return make(f, &CButtonFactory::CreateMomentaryButton, s.x + dx, s.y);
    };
    c[kVolumeFader] = fader(spot::kFaderBox);
    c[kPanKnob] = knob(spot::kPanKnobBox);
    c[kPitchKnob] = knob(spot::kPitchKnobBox);
    c[kAmpDecayKnob] = knob(spot::kAmpDecayKnobBox);
    c[kPitchDecayKnob] = knob(spot::kPitchDecayKnobBox);
    c[kNoteDown] = momentary(m_noteDownFactory, spot::kNoteDownBox);
    c[kNoteUp] = momentary(m_noteUpFactory, spot::kNoteUpBox);
    c[kChokeOff] = latching(m_chokeFactory, spot::kChokeBoxes[0]);
    c[kChoke1] = latching(m_chokeFactory, spot::kChokeBoxes[1]);
    c[kChoke2] = latching(m_chokeFactory, spot::kChokeBoxes[2]);
    c[kOut1] = latching(m_outFactory, spot::kOutBoxes[0]);
    c[kOut2] = latching(m_outFactory, spot::kOutBoxes[1]);
    c[kOut3] = latching(m_outFactory, spot::kOutBoxes[2]);
    c[kOut4] = latching(m_outFactory, spot::kOutBoxes[3]);
    const Spot& name = p % 2 ? spot::kPadNameOddBox : spot::kPadNameEvenBox;
    c[kPadName] = makeText(m_nameTextFactory, name.x + dx, name.y, kNoName);
    c[kNoteNumber] = makeText(m_noteTextFactory, spot::kNoteNumberBox.x + dx, spot::kNoteNumberBox.y, kNoNote);
    c[kUnload] = momentary(m_unloadFactory, spot::kUnloadBox);
    c[kMute] = latching(m_muteFactory, spot::kMuteBox);
    c[kSolo] = latching(m_soloFactory, spot::kSoloBox);
}

InstrumentEditor::~InstrumentEditor() {
    // Controls hold their factory's bitmaps: they go first.
    if (m_controls)
        for (int i = 0; i < kControlCount; i++) delete m_controls[i];
    delete m_noteDownFactory;
    delete m_noteUpFactory;
    delete m_chokeFactory;
    delete m_outFactory;
    delete m_unloadFactory;
    delete m_muteFactory;
    delete m_soloFactory;
    delete m_faderFactory;
    delete m_knobFactory;
    delete m_nameTextFactory;
    delete m_noteTextFactory;
    delete[] m_controls;
}

int32_t InstrumentEditor::getRect(ERect** rect) {
    if (rect) *rect = &m_rect;
    return 0;
}

int32_t InstrumentEditor::open(void* parent) {
    if (m_hWnd) close();  // a second open without a close moves the editor
    OpenWindow(static_cast<HWND>(parent));
    if (!m_hWnd) return 0;  // no window could be made: the host shows none
    m_windowThread.store(std::this_thread::get_id());
    for (int i = 0; i < kControlCount; i++) {
        if (CBaseControl* c = control(i)) {
            c->WOpen(m_hWnd, m_backBuffer, m_memDC);
            c->SetState(0.0f, false);
        }
    }
    refreshFromPads();
    return 1;
}

void InstrumentEditor::close() {
    // Nobody is left to see the answer.
    m_instrument->dropFileDialog();
    m_disabledForLoad = false;
    m_windowThread.store(std::thread::id());
    m_captured = -1;
    for (int i = 0; i < kControlCount; i++)
        if (CBaseControl* c = control(i)) c->WClose();
    CloseWindow();
}

// Hosts without a message loop for the editor's window (Linux) deliver its
// input and exposure here. Hosts call it on every system, so it is also
// where an open file dialog is answered and where changes made on other
// threads are shown.
void InstrumentEditor::idle() {
    platform::gdi::pumpEvents();
    m_instrument->pollFileDialog();
    enableAfterLoadDialog();
    if (m_hWnd && m_stale.load()) showPads();
}

void InstrumentEditor::enableAfterLoadDialog() {
    if (!m_disabledForLoad || m_instrument->fileDialogOpen()) return;
    m_disabledForLoad = false;
    EnableWindow(m_hWnd, TRUE);
}

void InstrumentEditor::update() { WinPaint(); }

void InstrumentEditor::WinPaint() {
    for (int i = 0; i < kControlCount; i++) {
        CBaseControl* c = control(i);
        if (c && c->m_dirty) c->Repaint();
    }
    AppWindow::WinPaint();
}

void InstrumentEditor::setState(int i, float state) {
    if (CBaseControl* c = control(i)) c->SetState(state, false);
}

void InstrumentEditor::setText(int i, const char* text) {
    CBaseControl* c = control(i);
    if (c && c->m_type == ctStaticText) static_cast<CStaticText*>(c)->SetText(const_cast<char*>(text));
}

void InstrumentEditor::setPadName(int pad, const char* text) {
    if (!onWindowThread())
        m_stale.store(true);  // the next refresh shows the pad as it is then
    else if (pad >= 0 && pad < kNumPads)
        setText(kPadName + pad, text);
}

void InstrumentEditor::showNote(int pad) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(m_instrument->pads[pad].midiNote));
    setText(kNoteNumber + pad, number);
}

void InstrumentEditor::refreshFromPads() {
    if (onWindowThread())
        showPads();
    else
        m_stale.store(true);
}

void InstrumentEditor::showPads() {
    if (!m_instrument || !m_instrument->pads) return;
    LoaderScope scope(*m_instrument, LoaderScope::kTryLock);
    m_stale.store(!scope.held());
    if (!scope.held()) return;
    m_instrument->recountSolo();
    for (int p = 0; p < kNumPads; p++) {
        const Pad& pad = m_instrument->pads[p];
        setState(kVolumeFader + p, pad.volume);
        setState(kPanKnob + p, pad.pan);
        setState(kPitchKnob + p, pad.pitch);
        setState(kAmpDecayKnob + p, pad.ampDecay);
        setState(kPitchDecayKnob + p, pad.pitchDecay);
        setState(kUnload + p, 0.0f);
        setState(kMute + p, pad.mute ? 1.0f : 0.0f);
        setState(kSolo + p, padSolo(pad) ? 1.0f : 0.0f);
        for (int family = kNoteDown; family <= kOut4; family += kNumPads) setState(family + p, 0.0f);
        if (pad.choke >= 0 && pad.choke <= 2) setState(kChokeOff + kNumPads * pad.choke + p, 1.0f);
        if (pad.output >= 0 && pad.output <= 3) setState(kOut1 + kNumPads * pad.output + p, 1.0f);
        showNote(p);
        char name[kDisplayNameSize];
        displayName(pad.samplePath, name);
        setText(kPadName + p, name);
    }
    WinPaint();
}
