// The editor's mouse handling: the LOAD strip and the bank buttons of the
// background, knob and fader drags, and button clicks.
#include <algorithm>

#include "editor/InstrumentEditor.h"
#include "instrument/DrumInstrument.h"

using namespace editor;

namespace {

// The outermost pixels of the strip and of the bank buttons are their edges,
// not theirs to click.
bool inLoadStrip(int x, int y) { return x > kStripX0 && x < kStripX1 && y > kStripY0 && y < kStripY1; }
bool inBankButtons(int y) { return y > kBankY0 && y < kBankY1; }
bool onImport(int x, int y) { return inBankButtons(y) && x > kBankX0 && x < kBankSplit; }
bool onExport(int x, int y) { return inBankButtons(y) && x >= kBankSplit && x < kBankX1; }

// Window procedures pass the two 16-bit halves of the position unsigned; a
// drag beyond the left or top edge is a small negative distance, not 65535.
int signedHalf(int v) { return v > 32767 ? v - 65536 : v; }

int32_t clampNote(int32_t note) { return std::min<int32_t>(127, std::max<int32_t>(0, note)); }

}  // namespace

void InstrumentEditor::MouseDown(HWND, int x, int y) {
    if (inLoadStrip(x, y)) {
        int pad = 2 * ((x - kStripX0) / kCell) + (y >= kStripLowerY ? 1 : 0);
        m_captured = -1;
        // The file dialog is modal: no input reaches the editor until it
        // has been answered, here or at a later idle.
        EnableWindow(m_hWnd, FALSE);
        m_disabledForLoad = true;
        m_instrument->loadSampleDialog(pad);
        enableAfterLoadDialog();
        return;
    }
    if (onImport(x, y)) {
        m_instrument->importBank();
        return;
    }
    if (onExport(x, y)) {
        m_instrument->exportBank();
        return;
    }
    bool marked = false;
    for (int i = 0; i < kControlCount; i++) {
        CBaseControl* c = control(i);
        if (!c || !c->HitTest(x, y, false, true)) continue;
        if (i < kNoteDown)
            m_captured = i;
        else
            marked = true;
    }
    if (marked) WinPaint();
}

void InstrumentEditor::MouseMove(HWND, int x, int y) {
    if (m_captured < 0 || m_captured >= kNoteDown) return;
    CBaseControl* c = control(m_captured);
    if (!c) return;
    x = signedHalf(x);
    y = signedHalf(y);
    Pad& pad = m_instrument->pads[m_captured % kNumPads];
    if (c->m_type == ctFader) {
        static_cast<CFader*>(c)->MouseDrag(x, y);
        pad.volume = c->GetState();
    } else if (c->m_type == ctKnob) {
        static_cast<CKnob*>(c)->MouseDrag(x, y);
        float value = c->GetState();
        switch (m_captured / kNumPads * kNumPads) {
            case kPanKnob: pad.pan = value; break;
            case kPitchKnob: pad.pitch = value; break;
            case kAmpDecayKnob: pad.ampDecay = value; break;
            case kPitchDecayKnob: pad.pitchDecay = value; break;
        }
    }
    WinPaint();
}

void InstrumentEditor::MouseUp(HWND, int x, int y) {
    m_captured = -1;
    bool marked = false;
    for (int i = 0; i < kControlCount; i++) {
        CBaseControl* c = control(i);
        if (!c) continue;
        int r = c->HitTest(x, y, true, true);
        if (i < kNoteDown || !r) continue;  // knobs and faders just let go
        marked = true;
        if (r == hitClicked || r == hitClickedOn) clicked(i);
    }
    if (marked) WinPaint();
}

void InstrumentEditor::selectOnly(int first, int count, int pad, int chosen) {
    for (int k = 0; k < count; k++)
        if (k != chosen) setState(first + kNumPads * k + pad, 0.0f);
}

void InstrumentEditor::clicked(int i) {
    // Note, choke and output buttons stay on when clicked: the choke and
    // output rows are radio buttons, and the note buttons ignore it.
    if (i < kPadName) setState(i, 1.0f);
    const int p = i % kNumPads;
    const int family = i - p;
    Pad& pad = m_instrument->pads[p];
    switch (family) {
        case kNoteDown:
        case kNoteUp:
            pad.midiNote = clampNote(pad.midiNote + (family == kNoteUp ? 1 : -1));
            showNote(p);
            break;
        case kChokeOff:
        case kChoke1:
        case kChoke2:
            pad.choke = (family - kChokeOff) / kNumPads;
            selectOnly(kChokeOff, 3, p, pad.choke);
            break;
        case kOut1:
        case kOut2:
        case kOut3:
        case kOut4:
            pad.output = (family - kOut1) / kNumPads;
            selectOnly(kOut1, 4, p, pad.output);
            break;
        case kUnload: m_instrument->unloadPad(p); break;
        case kMute: pad.mute = control(i)->GetState() > 0.5f; break;
        case kSolo: m_instrument->setSolo(p, control(i)->GetState() > 0.5f); break;
    }
}
