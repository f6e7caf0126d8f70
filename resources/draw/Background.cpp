// The editor's panel (bitmap 215): column strips behind the pads' controls,
// the row labels in the left margin, the LOAD strip, the bank buttons.
#include <string>

#include "Pictures.h"
#include "Text.h"

namespace draw {
namespace {

using namespace palette;

struct Fonts {
    Font brand{"Liberation Sans:bold", 21};
    Font label{"Liberation Sans Narrow:bold", 9.5f};
    Font small{"Liberation Sans Narrow:bold", 8.5f};
    Font tiny{"Liberation Sans:bold", 7};
    Font button{"Liberation Sans Narrow:bold", 9.5f};
};

// Row labels stand right-aligned against the first column.
constexpr int kLabelRight = 51;

void rightLabel(Canvas& c, Font& f, float cy, const std::string& text, Color color, int tracking = 1) {
    int w = f.width(text, tracking);
    f.draw(c, kLabelRight - w, int(cy + f.capHeight() / 2.0f + 0.5f), text, color, tracking);
}

void strips(Canvas& c) {
    for (int p = 0; p < kPads; p++) {
        float x0 = 56 + kPitch * p, x1 = x0 + 37;
        c.fill({x0 - 1, 93, x1 + 1, 396}, roundRect(x0 - 0.5f, 93.5f, x1 + 0.5f, 395.5f, 4), stripEdge);
        c.fill({x0, 94, x1, 395}, roundRect(x0, 94, x1, 395, 3.5f), strip);
        // Group dividers, in the gaps between rows.
        for (float y : {113.0f, 202.5f, 263.0f, 292.5f})
            c.fill({x0, y, x1, y + 1}, rect(x0 + 2, y, x1 - 2, y + 1), stripEdge);
    }
}

void noteDisplays(Canvas& c) {
    for (int p = 0; p < kPads; p++) {
        float x = spot::kNoteNumberBox.x - 1 + kPitch * p;  // the number's box and a 1-pixel rim
        c.fill({x, 95, x + 18, 112}, rect(x, 95, x + 18, 112), shadow);
        c.fill({x, 95, x + 18, 112}, rect(x + 0.5f, 95.5f, x + 17.5f, 111.5f), display);
    }
}

void faderScales(Canvas& c) {
    for (int p = 0; p < kPads; p++) {
        float x = spot::kFaderBox.x + kPitch * p;
        for (int i = 0; i <= 10; i++) {
            float y = spot::kFaderBox.y + spot::kThumbH / 2.0f + i * (spot::kFaderBox.h - spot::kThumbH) / 10.0f;
            bool major = i % 5 == 0;
            float len = major ? 5 : 3;
            Color col = major ? labelDim : mix(labelDim, strip, 0.45f);
            c.fill({x - 8, y - 1, x, y + 1}, rect(x - 2 - len, y - 0.5f, x - 2, y + 0.5f), col);
            c.fill({x + 16, y - 1, x + 24, y + 1}, rect(x + 18, y - 0.5f, x + 18 + len, y + 0.5f), col);
        }
    }
}

void loadStrip(Canvas& c, Fonts& f) {
    float x0 = kStripX0, x1 = kStripX1 + 1, y0 = kStripY0, y1 = kStripY1 + 1;
    c.fill({x0 - 2, y0 - 2, x1 + 2, y1}, roundRect(x0 - 1.5f, y0 - 1.5f, x1 + 1.5f, y1 + 3, 3), stripEdge);
    c.fill({x0, y0, x1, y1}, rect(x0, y0, x1, y1), display);
    Color line = hex(0x1B2A31), arrow = hex(0x1F8FA6);
    for (int k = 0; k < 8; k++) {
        float cx = x0 + kCell * k;
        if (k) c.fill({cx, y0, cx + 1, y1}, rect(cx, y0 + 2, cx + 1, y1 - 2), line);
        c.fill({cx + 2, y0 + 2, cx + 9, y0 + 10}, triangle(cx + 3, y0 + 3, cx + 8, y0 + 6.5f, cx + 3, y0 + 10), arrow);
        for (float x = cx + 10; x < cx + kCell - 3; x += 3) c.fill({x, 68, x + 1, 69}, rect(x, 68, x + 1, 69), line);
    }
    (void)f;
}

void bankButtons(Canvas& c, Fonts& f) {
    float x0 = kBankX0, x1 = kBankX1 + 1, y0 = kBankY0, y1 = kBankY1 + 1;
    c.fill({x0 - 1, y0 - 1, x1 + 1, y1 + 2}, roundRect(x0 - 0.5f, y0 - 0.5f, x1 + 0.5f, y1 + 1.5f, 3.5f), shadow);
    c.fill({x0, y0, x1, y1}, roundRect(x0, y0, x1, y1, 3), vertical(y0, capTop, y1, capBottom));
    c.fill({x0, y0, x1, y0 + 1}, roundRect(x0 + 2, y0, x1 - 2, y0 + 1, 0.5f), highlight);
    c.fill({kBankSplit - 1.0f, y0, kBankSplit + 1.0f, y1}, rect(kBankSplit, y0 + 1, kBankSplit + 1, y1 - 1), shadow);
    float mid = (y0 + y1) / 2;
    f.button.centred(c, (x0 + kBankSplit) / 2, mid, "IMPORT", label, 1);
    f.button.centred(c, (kBankSplit + 1 + x1) / 2, mid, "EXPORT", label, 1);
    int w = f.small.width("BANK", 1);
    f.small.draw(c, kBankX0 - 8 - w, int(mid + f.small.capHeight() / 2.0f + 0.5f), "BANK", labelDim, 1);
}

void header(Canvas& c, Fonts& f) {
    f.brand.draw(c, 14, 31, "KZ", label, 0);
    f.brand.draw(c, 14 + f.brand.width("KZ", 0) + 1, 31, "318", cyan, 0);
    f.tiny.draw(c, 15, 42, "DRUM SAMPLE PLAYER", labelDim, 1);
    const std::string right = "16 PADS  \xB7  8 OUTPUTS";
    f.tiny.draw(c, kStripX1 + 1 - f.tiny.width(right, 1), 25, right, labelDim, 1);
    for (int p = 0; p < kPads; p++)
        f.small.centred(c, 74.5f + kPitch * p, 47.5f, std::to_string(p + 1), p % 2 ? labelDim : label, 0);
}

void rowLabels(Canvas& c, Fonts& f) {
    rightLabel(c, f.label, 69.5f, "LOAD", label);
    rightLabel(c, f.small, 88.5f, "UNLOAD", labelDim);
    rightLabel(c, f.label, 103.5f, "MIDI NOTE", label, 0);
    rightLabel(c, f.label, spot::kPitchKnobBox.y + 12.5f, "PITCH", label);
    rightLabel(c, f.label, spot::kAmpDecayKnobBox.y + 12.5f, "AMP.DCY", label, 0);
    rightLabel(c, f.label, spot::kPitchDecayKnobBox.y + 12.5f, "PIT. DCY", label, 0);
    rightLabel(c, f.label, 208.5f, "CHOKE", label);
    rightLabel(c, f.small, 216.0f, "off 1 2", labelDim, 1);
    rightLabel(c, f.label, 234.0f, "OUT", label);
    rightLabel(c, f.small, 226.5f, "1 2", labelDim, 1);
    rightLabel(c, f.small, 241.5f, "3 4", labelDim, 1);
    rightLabel(c, f.small, 256.0f, "MUTE SOLO", label, 0);
    rightLabel(c, f.label, spot::kPanKnobBox.y + 12.5f, "PAN", label);
    rightLabel(c, f.label, spot::kFaderBox.y + spot::kFaderBox.h / 2.0f, "VOLUME", label);
    for (float y : {113.0f, 202.5f, 263.0f, 292.5f}) c.fill({6, y, 52, y + 1}, rect(8, y, 52, y + 1), stripEdge);
}

}  // namespace

Canvas background() {
    Canvas c(kWidth, kHeight);
    c.fill({0, 0, kWidth, kHeight}, rect(0, 0, kWidth, kHeight), vertical(0, panelLight, kHeight, panel));
    Fonts f;
    header(c, f);
    bankButtons(c, f);
    loadStrip(c, f);
    strips(c);
    noteDisplays(c);
    faderScales(c);
    rowLabels(c, f);
    return c;
}

}  // namespace draw
