// Where the editor puts its controls (window pixels; pad p adds p columns),
// the clickable areas of the background, and the panel's palette.
#pragma once

#include "Canvas.h"

namespace draw {

constexpr int kWidth = 670, kHeight = 400;
constexpr int kPitch = 38;  // column pitch, one column per pad
constexpr int kPads = 16;

struct Spot {
    int x, y, w, h;
};

// Column 0 positions of each family.
constexpr Spot kFader{67, 296, 16, 94};
constexpr int kThumbW = 16, kThumbH = 13;
constexpr int kKnobX = 61, kKnobSize = 25;
constexpr int kPitchY = 115, kAmpDecayY = 145, kPitchDecayY = 176, kPanY = 265;
constexpr Spot kNoteDown{56, 95, 9, 17};
constexpr Spot kNoteUp{83, 95, 9, 17};
constexpr Spot kNoteText{66, 98, 18, 15};
constexpr Spot kChoke[3] = {{56, 205, 11, 14}, {68, 205, 11, 14}, {80, 205, 11, 14}};
constexpr Spot kOut[4] = {{58, 220, 13, 13}, {77, 220, 13, 13}, {58, 235, 13, 13}, {77, 235, 13, 13}};
constexpr Spot kUnload{58, 84, 32, 9};
constexpr Spot kMute{56, 250, 17, 12};
constexpr Spot kSolo{75, 250, 17, 12};

// The black LOAD strip (inclusive edges), its eight cells of two pads each.
constexpr int kStripX0 = 55, kStripX1 = 661, kStripY0 = 55, kStripY1 = 83, kCell = 76;
// The IMPORT and EXPORT buttons (inclusive edges), split at kBankSplit.
constexpr int kBankX0 = 283, kBankX1 = 430, kBankY0 = 13, kBankY1 = 29, kBankSplit = 355;

namespace palette {
const Color panel = hex(0x2A2D32);
const Color panelLight = hex(0x34383E);
const Color strip = hex(0x30343A);
const Color stripEdge = hex(0x1C1E21);
const Color shadow = hex(0x141517);
const Color highlight = hex(0x4A4F57);
const Color label = hex(0xC4C9D0);
const Color labelDim = hex(0x8A9199);
const Color display = hex(0x060708);
const Color cyan = hex(0x22DDFF);
const Color green = hex(0x55FF22);
const Color amber = hex(0xFFA626);
const Color red = hex(0xFF4B3E);
const Color yellow = hex(0xFFD84A);
const Color capTop = hex(0x50555D);
const Color capBottom = hex(0x34383E);
const Color capDownTop = hex(0x2C2F34);
const Color capDownBottom = hex(0x3A3E45);
}  // namespace palette

}  // namespace draw
