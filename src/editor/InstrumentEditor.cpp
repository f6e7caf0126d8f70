#include "editor/InstrumentEditor.h"

#include <cstdio>
#include <new>

#include "editor/DisplayName.h"
#include "instrument/DrumInstrument.h"
#include "platform/Platform.h"

using namespace editor;

namespace {

const int kColumn = 38;  // pixels between two pads' columns

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
      AppWindow(platform::gdi::thisModule(), kWidth, kHeight, kBackgroundId),
      m_rect{0, 0, kHeight, kWidth},
      m_controls(nullptr),
      m_captured(-1),
      m_instrument(nullptr),
      m_windowThread(std::thread::id()),
      m_stale(false),
      m_disabledForLoad(false) {
    createFactories();
    m_controls = new (std::nothrow) CBaseControl* [kControlCount]();
    if (m_controls)
        for (int p = 0; p < kNumPads; p++) createControls(p);
    m_instrument = instrument;
    instrument->attachEditor(this);
}

void InstrumentEditor::createFactories() {
    HINSTANCE module = platform::gdi::thisModule();
    m_noteDownFactory = new (std::nothrow) CButtonFactory(module, 199, 199, 199, 198, 197, 198);
    m_noteUpFactory = new (std::nothrow) CButtonFactory(module, 202, 202, 202, 201, 200, 201);
    m_chokeFactory = new (std::nothrow) CButtonFactory(module, 206, 206, 206, 207, 205, 208);
    m_outFactory = new (std::nothrow) CButtonFactory(module, 212, 212, 212, 213, 211, 214);
    m_unloadFactory = new (std::nothrow) CButtonFactory(module, 225, 225, 225, 224, 226, 224);
    m_muteFactory = new (std::nothrow) CButtonFactory(module, 217, 217, 217, 219, 218, 220);
    m_soloFactory = new (std::nothrow) CButtonFactory(module, 217, 217, 217, 222, 221, 223);
    m_faderFactory = new (std::nothrow) CFaderFactory(module, 196, 216, 203, 204, false);
    m_knobFactory = new (std::nothrow) CKnobFactory(module, 210, 209, false);
    m_nameTextFactory = new (std::nothrow) CStaticTextFactory(module, 13, kFace, 63, 12, 0xFFDD22);
    m_noteTextFactory = new (std::nothrow) CStaticTextFactory(module, 13, kFace, 18, 15, 0x22FF55);
}

// One pad's column, in the order of the families.
void InstrumentEditor::createControls(int p) {
    const int dx = kColumn * p;
    CBaseControl** c = m_controls + p;
    c[kVolumeFader] = make(m_faderFactory, &CFaderFactory::CreateFader, 67 + dx, 296);
    c[kPanKnob] = make(m_knobFactory, &CKnobFactory::CreateKnob, 61 + dx, 265);
    c[kPitchKnob] = make(m_knobFactory, &CKnobFactory::CreateKnob, 61 + dx, 115);
    c[kAmpDecayKnob] = make(m_knobFactory, &CKnobFactory::CreateKnob, 61 + dx, 145);
    c[kPitchDecayKnob] = make(m_knobFactory, &CKnobFactory::CreateKnob, 61 + dx, 176);
    c[kNoteDown] = make(m_noteDownFactory, &CButtonFactory::CreateMomentaryButton, 56 + dx, 95);
    c[kNoteUp] = make(m_noteUpFactory, &CButtonFactory::CreateMomentaryButton, 83 + dx, 95);
    c[kChokeOff] = make(m_chokeFactory, &CButtonFactory::CreateLatchingButton, 56 + dx, 205);
    c[kChoke1] = make(m_chokeFactory, &CButtonFactory::CreateLatchingButton, 68 + dx, 205);
    c[kChoke2] = make(m_chokeFactory, &CButtonFactory::CreateLatchingButton, 80 + dx, 205);
    c[kOut1] = make(m_outFactory, &CButtonFactory::CreateLatchingButton, 58 + dx, 220);
    c[kOut2] = make(m_outFactory, &CButtonFactory::CreateLatchingButton, 77 + dx, 220);
    c[kOut3] = make(m_outFactory, &CButtonFactory::CreateLatchingButton, 58 + dx, 235);
    c[kOut4] = make(m_outFactory, &CButtonFactory::CreateLatchingButton, 77 + dx, 235);
    // Names share the LOAD strip in pairs: even pads on the upper line.
    bool odd = p % 2;
    c[kPadName] = makeText(m_nameTextFactory, (odd ? 18 : 65) + dx, odd ? 70 : 56, kNoName);
    c[kNoteNumber] = makeText(m_noteTextFactory, 66 + dx, 98, kNoNote);
    c[kUnload] = make(m_unloadFactory, &CButtonFactory::CreateMomentaryButton, 58 + dx, 84);
    c[kMute] = make(m_muteFactory, &CButtonFactory::CreateLatchingButton, 56 + dx, 250);
    c[kSolo] = make(m_soloFactory, &CButtonFactory::CreateLatchingButton, 75 + dx, 250);
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
    m_instrument->soloCount = 0;
    for (int p = 0; p < kNumPads; p++) {
        const Pad& pad = m_instrument->pads[p];
        setState(kVolumeFader + p, pad.volume);
        setState(kPanKnob + p, pad.pan);
        setState(kPitchKnob + p, pad.pitch);
        setState(kAmpDecayKnob + p, pad.ampDecay);
        setState(kPitchDecayKnob + p, pad.pitchDecay);
        setState(kUnload + p, 0.0f);
        setState(kMute + p, pad.mute ? 1.0f : 0.0f);
        setState(kSolo + p, pad.solo ? 1.0f : 0.0f);
        if (pad.solo) m_instrument->soloCount++;
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
