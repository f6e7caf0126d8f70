// The editor's panel, control by control: where each of the 304 controls sits,
// what each knob and the fader write, the radio rows from every state, and the
// edges of the LOAD strip. The expected layout is written out here on its own
// so that a control that drifts or a family that swaps shows up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/InstrumentEditor.h"
#include "instrument/DrumInstrument.h"
#include "support/EditedInstrument.h"
#include "support/FakeServices.h"

namespace {

// One family: sixteen controls from index first, one per pad, 38 pixels apart.
struct Row {
    const char* name;
    int first;
    ControlType type;
    int x, y;  // pad 0's position
    int width, height;
};

const Row kRows[] = {
    {"volume fader", 0, ctFader, 67, 296, 16, 94},       {"pan knob", 16, ctKnob, 61, 265, 25, 25},
    {"pitch knob", 32, ctKnob, 61, 115, 25, 25},         {"amp decay knob", 48, ctKnob, 61, 145, 25, 25},
    {"pitch decay knob", 64, ctKnob, 61, 176, 25, 25},   {"note down", 80, ctMomentaryButton, 56, 95, 9, 17},
    {"note up", 96, ctMomentaryButton, 83, 95, 9, 17},   {"choke off", 112, ctLatchingButton, 56, 205, 11, 14},
    {"choke 1", 128, ctLatchingButton, 68, 205, 11, 14}, {"choke 2", 144, ctLatchingButton, 80, 205, 11, 14},
    {"out 1", 160, ctLatchingButton, 58, 220, 13, 13},   {"out 2", 176, ctLatchingButton, 77, 220, 13, 13},
    {"out 3", 192, ctLatchingButton, 58, 235, 13, 13},   {"out 4", 208, ctLatchingButton, 77, 235, 13, 13},
    {"pad name", 224, ctStaticText, 65, 56, 63, 12},  // odd pads: see below
    {"note number", 240, ctStaticText, 66, 98, 18, 15},  {"unload", 256, ctMomentaryButton, 58, 84, 32, 9},
    {"mute", 272, ctLatchingButton, 56, 250, 17, 12},    {"solo", 288, ctLatchingButton, 75, 250, 17, 12},
};

const int kPadNames = 224;
const int kChokeRow = 112;  // three buttons, 16 apart
const int kOutRow = 160;    // four buttons, 16 apart

struct Placed {
    int type, x, y, width, height;
    bool operator==(const Placed& o) const {
        return type == o.type && x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

std::ostream& operator<<(std::ostream& out, const Placed& p) {
    return out << "type " << p.type << " at (" << p.x << ", " << p.y << ") size " << p.width << " x " << p.height;
}

Placed expected(const Row& row, int p) {
    Placed e{row.type, row.x + 38 * p, row.y, row.width, row.height};
    if (row.first == kPadNames && p % 2) {
        e.x = 18 + 38 * p;  // the odd pad's name: lower line of the shared cell
        e.y = 70;
    }
    return e;
}

class Panel : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ui, nullptr);
        ASSERT_EQ(ui->open(nullptr), 1);
    }

    Pad& pad(int p) { return instrument.pads[p]; }
    CBaseControl* at(int i) { return ui->control(i); }
    bool on(int i) { return at(i)->GetState() > 0.5f; }

    void send(UINT message, int x, int y) {
        SendMessageA(ui->m_hWnd, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    void centre(int i, int& x, int& y) {
        int left, top, w, h;
        at(i)->GetRegion(&left, &top, &w, &h);
        x = left + w / 2;
        y = top + h / 2;
    }
    void clickControl(int i) {
        int x, y;
        centre(i, x, y);
        pressAndRelease(x, y);
    }

    void pressAndRelease(int x, int y) {
        send(WM_LBUTTONDOWN, x, y);
        send(WM_LBUTTONUP, x, y);
    }
    // The pad a press at (x, y) loads a file into: -1 for no dialog, -2 when
    // no single pad took the file.
    int loadedPad(int x, int y) {
        std::string path = "/nowhere/strip/" + std::to_string(x) + "-" + std::to_string(y) + ".wav";
        const size_t dialogs = services.dialogs.size();
        services.choose(path);
        pressAndRelease(x, y);
        if (services.dialogs.size() != dialogs + 1) return -1;
        std::vector<int> took;
        for (int p = 0; p < 16; p++)
            if (pad(p).samplePath && path == pad(p).samplePath) took.push_back(p);
        return took.size() == 1 ? took[0] : -2;
    }

    // Which of a radio row's buttons are on, as a string of 0 and 1.
    std::string row(int first, int count, int p) {
        std::string lit;
        for (int k = 0; k < count; k++) lit += on(first + 16 * k + p) ? '1' : '0';
        return lit;
    }
    static std::string only(int chosen, int count) {
        std::string lit(count, '0');
        lit[chosen] = '1';
        return lit;
    }

    // Every pad, every shown button, every button clicked: the clicked one is
    // on alone, the field follows it, and no other pad's row moves.
    void radioRowFromEveryState(int first, int count, int32_t Pad::*field) {
        for (int p = 0; p < 16; p++) {
            for (int from = 0; from < count; from++) {
                for (int to = 0; to < count; to++) {
                    pad(p).*field = from;
                    ui->refreshFromPads();
                    ASSERT_EQ(row(first, count, p), only(from, count));
                    clickControl(first + 16 * to + p);
                    SCOPED_TRACE("pad " + std::to_string(p) + " from " + std::to_string(from) + " to " +
                                 std::to_string(to));
                    EXPECT_EQ(pad(p).*field, to);
                    EXPECT_EQ(row(first, count, p), only(to, count));
                    for (int q = 0; q < 16; q++)
                        if (q != p) {
                            EXPECT_EQ(row(first, count, q), only(0, count)) << "pad " << q;
                        }
                }
            }
            pad(p).*field = 0;
        }
    }

    testsupport::ScopedFakeServices services;
    testsupport::EditedInstrument instrument{nullptr};
    InstrumentEditor* ui = static_cast<InstrumentEditor*>(instrument.padEditor());
};

TEST_F(Panel, EveryControlSitsWhereTheLayoutPutsIt) {
    int checked = 0;
    for (const Row& row : kRows) {
        for (int p = 0; p < 16; p++) {
            CBaseControl* c = at(row.first + p);
            ASSERT_NE(c, nullptr) << row.name << " of pad " << p;
            Placed got{c->m_type, c->m_x, c->m_y, c->m_width, c->m_height};
            EXPECT_EQ(got, expected(row, p)) << row.name << " of pad " << p << " (index " << row.first + p << ")";
            int x, y, w, h;
            c->GetRegion(&x, &y, &w, &h);
            EXPECT_EQ((Placed{c->m_type, x, y, w, h}), expected(row, p)) << "region of index " << row.first + p;
            checked++;
        }
    }
    EXPECT_EQ(checked, 304);
}

TEST_F(Panel, EachKnobAndTheFaderWriteTheirOwnFieldOfTheirOwnPad) {
    // Field of a pad by family: volume, pan, pitch, amp decay, pitch decay.
    auto field = [](Pad& d, int family) -> float& {
        float* fields[] = {&d.volume, &d.pan, &d.pitch, &d.ampDecay, &d.pitchDecay};
        return *fields[family];
    };
    auto snapshot = [&] {
        std::vector<float> all;
        for (int p = 0; p < 16; p++)
            for (int f = 0; f < 5; f++) all.push_back(field(pad(p), f));
        return all;
    };
    // Mid values, distinct per pad and field, so a drag either way changes
    // the value and a write to the wrong place is seen.
    for (int p = 0; p < 16; p++)
        for (int f = 0; f < 5; f++) field(pad(p), f) = 0.3f + 0.02f * f + 0.005f * p;
    ui->refreshFromPads();

    for (int family = 0; family < 5; family++) {
        for (int p = 0; p < 16; p++) {
            const int i = 16 * family + p;
            std::vector<float> before = snapshot();
            int x, y;
            centre(i, x, y);
            send(WM_LBUTTONDOWN, x, y);
            ASSERT_EQ(ui->m_captured, i);
            send(WM_MOUSEMOVE, x, y - 10);
            send(WM_LBUTTONUP, x, y - 10);
            std::vector<float> after = snapshot();
            const size_t changed = static_cast<size_t>(5 * p + family);
            EXPECT_NE(after[changed], before[changed]) << "control " << i;
            EXPECT_FLOAT_EQ(after[changed], at(i)->GetState()) << "control " << i;
            after[changed] = before[changed];
            EXPECT_EQ(after, before) << "control " << i << " also changed another field or pad";
        }
    }
}

TEST_F(Panel, ChokeRowSelectsOneButtonFromEveryState) {
    radioRowFromEveryState(kChokeRow, 3, &Pad::choke);
    for (int q = 0; q < 16; q++) EXPECT_EQ(pad(q).output, 0);
}

TEST_F(Panel, OutputRowSelectsOneButtonFromEveryState) {
    radioRowFromEveryState(kOutRow, 4, &Pad::output);
    for (int q = 0; q < 16; q++) EXPECT_EQ(pad(q).choke, 0);
}

TEST_F(Panel, LoadStripCellsAndRowsEndOnTheirLastPixel) {
    // Eight cells of 76 pixels from x = 55; upper line y 56..68 (even pad),
    // lower line y 69..82 (odd pad).
    for (int cell = 0; cell < 8; cell++) {
        const int columns[] = {cell == 0 ? 56 : 55 + 76 * cell, cell == 7 ? 660 : 130 + 76 * cell};
        for (int x : columns) {
            for (int y : {56, 68}) ASSERT_EQ(loadedPad(x, y), 2 * cell) << x << ", " << y;
            for (int y : {69, 82}) ASSERT_EQ(loadedPad(x, y), 2 * cell + 1) << x << ", " << y;
        }
    }
    // The strip's own edges fall through to the controls.
    const size_t dialogs = services.dialogs.size();
    for (int y : {56, 68, 69, 82}) {
        pressAndRelease(55, y);
        pressAndRelease(661, y);
    }
    for (int x : {56, 130, 131, 660}) {
        pressAndRelease(x, 55);
        pressAndRelease(x, 83);
    }
    EXPECT_EQ(services.dialogs.size(), dialogs);
}

}  // namespace
