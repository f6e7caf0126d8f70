// The controls' pictures: one coherent family of dark caps with light
// legends, lit in the colour of their function when on.
#include <cmath>

#include "Pictures.h"
#include "Text.h"

namespace draw {
namespace {

using namespace palette;

constexpr float kPi = 3.14159265f;

// A cap: drop shadow, body with a vertical gradient, a highlight along the top.
void cap(Canvas& c, float x0, float y0, float x1, float y1, float r, Color top, Color bottom, bool raised = true) {
    Box all{x0 - 1, y0 - 1, x1 + 1, y1 + 1};
    c.fill(all, roundRect(x0, y0, x1, y1, r), shadow);
    c.fill(all, roundRect(x0 + 0.5f, y0 + 0.5f, x1 - 0.5f, y1 - 0.5f, r - 0.5f), vertical(y0, top, y1, bottom));
    if (raised) c.fill(all, rect(x0 + r, y0 + 0.5f, x1 - r, y0 + 1.5f), mix(top, hex(0xFFFFFF), 0.18f));
}

// A cap as a button shows it: sunk and darker while held.
void buttonCap(Canvas& c, int w, int h, bool held) {
    if (held)
        cap(c, 0, 0, float(w), float(h), 2.5f, capDownTop, capDownBottom, false);
    else
        cap(c, 0, 0, float(w), float(h), 2.5f, capTop, capBottom);
}

Color glow(Color lit, float k) { return mix(lit, hex(0xFFFFFF), k); }

}  // namespace

Canvas knob(int frame) {
    Canvas c(spot::kKnobSize, spot::kKnobSize);
    const float cx = 12.5f, cy = 12.5f;
    float angle = -135.0f + 270.0f * frame / 63.0f;
    Box all{0, 0, 25, 25};
    c.fill(all, circle(cx, cy, 12.4f), shadow);
    c.fill(all, ring(cx, cy, 10.3f, 12.0f, -135, 135), hex(0x1E2126));
    c.fill(all, ring(cx, cy, 10.3f, 12.0f, -135, angle), cyan);
    // The body, and a lighter rim where the light falls on it.
    c.fill(all, circle(cx, cy + 0.6f, 8.9f), shadow);
    c.fill(all, circle(cx, cy, 8.5f), vertical(4, hex(0x5D636C), 21, hex(0x2C2F34)));
    c.fill(all, circle(cx, cy, 7.2f), vertical(5, hex(0x3E434A), 20, hex(0x4A4F57)));
    float s = std::sin(angle * kPi / 180), k = -std::cos(angle * kPi / 180);
    c.fill(all, segment(cx + 2.2f * s, cy + 2.2f * k, cx + 7.6f * s, cy + 7.6f * k, 1.9f), hex(0xF4F6F8));
    return c;
}

Canvas faderTrack() {
    Canvas c(spot::kFaderBox.w, spot::kFaderBox.h);
    Box all{0, 0, float(spot::kFaderBox.w), float(spot::kFaderBox.h)};
    c.fill(all, roundRect(5.5f, 3.5f, 10.5f, 90.5f, 2.5f), hex(0x44494F));
    c.fill(all, roundRect(5.5f, 3.5f, 10.5f, 90.0f, 2.5f), shadow);
    c.fill(all, roundRect(6.5f, 4.5f, 9.5f, 89.5f, 1.5f), hex(0x050506));
    return c;
}

Canvas faderThumb() {
    Canvas c(spot::kThumbW, spot::kThumbH);
    Box all{0, 0, float(spot::kThumbW), float(spot::kThumbH)};
    c.fill(all, roundRect(0, 0, 16, 13, 2.5f), shadow);
    c.fill(all, roundRect(0.5f, 0.5f, 15.5f, 12.5f, 2), vertical(0.5f, hex(0xE4E7EA), 12.5f, hex(0x8C929A)));
    for (float y : {2.5f, 9.5f}) c.fill(all, rect(2, y, 14, y + 1), hex(0x7A8088));
    c.fill(all, rect(0.5f, 6, 15.5f, 7), hex(0x101113));
    c.fill(all, rect(2, 0.5f, 14, 1.3f), hex(0xFFFFFF));
    return c;
}

Canvas noteButton(bool up, bool pressed) {
    Canvas c(spot::kNoteDownBox.w, spot::kNoteDownBox.h);
    buttonCap(c, 9, 17, pressed);
    Color col = pressed ? green : label;
    float d = pressed ? 0.5f : 0;
    Box all{0, 0, 9, 17};
    if (up)
        c.fill(all, triangle(3 + d, 5 + d, 6.5f + d, 8.5f + d, 3 + d, 12 + d), col);
    else
        c.fill(all, triangle(6 + d, 5 + d, 2.5f + d, 8.5f + d, 6 + d, 12 + d), col);
    return c;
}

Canvas chokeButton(Press state) {
    Canvas c(spot::kChokeBoxes[0].w, spot::kChokeBoxes[0].h);
    Box all{0, 0, 11, 14};
    buttonCap(c, 11, 14, state == Press::Down);
    Color led = state == Press::On ? amber : state == Press::Down ? mix(amber, shadow, 0.55f) : hex(0x3B2E1E);
    if (state == Press::On) c.fill(all, roundRect(1.5f, 2, 9.5f, 7, 2), mix(amber, capTop, 0.55f));
    c.fill(all, roundRect(2.5f, 3, 8.5f, 6, 1), led);
    if (state == Press::On) c.fill(all, rect(3.5f, 3.5f, 7.5f, 4.3f), glow(amber, 0.6f));
    return c;
}

Canvas outButton(Press state) {
    Canvas c(spot::kOutBoxes[0].w, spot::kOutBoxes[0].h);
    Box all{0, 0, 13, 13};
    buttonCap(c, 13, 13, state == Press::Down);
    if (state == Press::On) c.fill(all, circle(6.5f, 6.5f, 4.2f), mix(cyan, capBottom, 0.55f));
    Color led = state == Press::On ? cyan : state == Press::Down ? mix(cyan, shadow, 0.6f) : hex(0x173039);
    c.fill(all, circle(6.5f, 6.5f, 2.6f), led);
    if (state == Press::On) c.fill(all, circle(6.0f, 6.0f, 1.0f), glow(cyan, 0.7f));
    return c;
}

Canvas muteSoloButton(char letter, Press state) {
    Canvas c(spot::kMuteBox.w, spot::kMuteBox.h);
    Color lit = letter == 'M' ? red : yellow;
    if (state == Press::On)
        cap(c, 0, 0, 17, 12, 2.5f, glow(lit, 0.15f), mix(lit, shadow, 0.25f));
    else
        buttonCap(c, 17, 12, state == Press::Down);
    static Font font("Liberation Sans:bold", 8.5f);
    Color ink = state == Press::On ? hex(0x1A1B1D) : state == Press::Down ? lit : label;
    font.centred(c, 8.5f + (state == Press::Down ? 0.5f : 0), 6.0f, std::string(1, letter), ink, 0);
    return c;
}

Canvas unloadButton(bool pressed) {
    Canvas c(spot::kUnloadBox.w, spot::kUnloadBox.h);
    Box all{0, 0, 32, 9};
    // A tab hanging under the LOAD strip: square top, rounded bottom.
    c.fill(all, roundRect(0, -3, 32, 9, 2.5f), shadow);
    c.fill(all, roundRect(0.5f, -3, 31.5f, 8.5f, 2),
           pressed ? vertical(0, capDownTop, 9, capDownBottom) : vertical(0, capTop, 9, capBottom));
    Color ink = pressed ? red : labelDim;
    c.fill(all, triangle(16, 1.5f, 19.5f, 5, 12.5f, 5), ink);
    c.fill(all, rect(12.5f, 6, 19.5f, 7), ink);
    return c;
}

}  // namespace draw
