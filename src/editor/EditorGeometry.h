// The editor's panel: its size, the module's bitmap identifiers, where each
// control family stands in pad 0's column (pad p is p columns to the right)
// with the size of its pictures, and the areas of the background that take
// clicks. The editor lays its controls out from it and the program that
// draws the bitmaps fits the pictures to it, so it depends on nothing.
// A control family (InstrumentEditor.h), its place (a Box here) and its
// pictures (named by the state they show) each have a name of their own.
#pragma once

namespace editor {

constexpr int kWidth = 670;
constexpr int kHeight = 400;
constexpr int kColumns = 16;  // one column per pad
constexpr int kColumn = 38;   // pixels between two pads' columns

// The module's bitmap resources, as the resource script numbers them.
namespace bitmap {
enum Id {
    kFaderTrack = 196,
    kNoteDownPressed = 197,
    kNoteDownReleased = 198,
    kNoteDownMask = 199,
    kNoteUpPressed = 200,
    kNoteUpReleased = 201,
    kNoteUpMask = 202,
    kFaderThumb = 203,
    kFaderThumbMask = 204,
    kChokePressed = 205,
    kChokeMask = 206,
    kChokeUnlit = 207,
    kChokeLit = 208,
    kKnobStripMask = 209,
    kKnobStrip = 210,
    kOutPressed = 211,
    kOutMask = 212,
    kOutUnlit = 213,
    kOutLit = 214,
    kBackground = 215,
    kFaderTrackMask = 216,
    kMuteSoloMask = 217,
    kMutePressed = 218,
    kMuteUnlit = 219,
    kMuteLit = 220,
    kSoloPressed = 221,
    kSoloUnlit = 222,
    kSoloLit = 223,
    kUnloadReleased = 224,
    kUnloadMask = 225,
    kUnloadPressed = 226,
};
constexpr int kFirst = kFaderTrack, kLast = kUnloadPressed;
constexpr int kKnobFrames = 64;  // the knob strip's frames, side by side
}  // namespace bitmap

// A control's top-left corner in pad 0's column and its pictures' size.
struct Spot {
    int x, y, w, h;
};

namespace spot {
constexpr Spot kFaderBox{67, 296, 16, 94};  // the track; the thumb slides in it
constexpr int kThumbW = 16, kThumbH = 13;
constexpr int kKnobSize = 25;
constexpr Spot kPanKnobBox{61, 265, kKnobSize, kKnobSize};
constexpr Spot kPitchKnobBox{61, 115, kKnobSize, kKnobSize};
constexpr Spot kAmpDecayKnobBox{61, 145, kKnobSize, kKnobSize};
constexpr Spot kPitchDecayKnobBox{61, 176, kKnobSize, kKnobSize};
constexpr Spot kNoteDownBox{56, 95, 9, 17};
constexpr Spot kNoteUpBox{83, 95, 9, 17};
constexpr Spot kChokeBoxes[3] = {{56, 205, 11, 14}, {68, 205, 11, 14}, {80, 205, 11, 14}};
constexpr Spot kOutBoxes[4] = {{58, 220, 13, 13}, {77, 220, 13, 13}, {58, 235, 13, 13}, {77, 235, 13, 13}};
// Pad names share the LOAD strip in pairs: even pads on the upper line, odd
// pads on the lower one, a column's pitch to the left of their own column.
constexpr Spot kPadNameEvenBox{65, 56, 63, 12};
constexpr Spot kPadNameOddBox{18, 70, 63, 12};
constexpr Spot kNoteNumberBox{66, 98, 18, 15};
constexpr Spot kUnloadBox{58, 84, 32, 9};
constexpr Spot kMuteBox{56, 250, 17, 12};
constexpr Spot kSoloBox{75, 250, 17, 12};
}  // namespace spot

// The black LOAD strip (inclusive edges): eight cells of two pads each, the
// odd pad's line from kStripLowerY down.
constexpr int kStripX0 = 55, kStripX1 = 661, kStripY0 = 55, kStripY1 = 83, kCell = 76, kStripLowerY = 69;
// The IMPORT and EXPORT buttons (inclusive edges), split at kBankSplit.
constexpr int kBankX0 = 283, kBankX1 = 430, kBankY0 = 13, kBankY1 = 29, kBankSplit = 355;

// The texts: font height, face and colour (COLORREF, 0x00BBGGRR).
constexpr int kTextHeight = 13;
constexpr unsigned kPadNameColor = 0xFFDD22, kNoteNumberColor = 0x22FF55;

static_assert(kCell == 2 * kColumn, "a LOAD cell holds two pads' columns");
static_assert(kStripX0 + kColumns / 2 * kCell >= kStripX1, "the LOAD strip has a cell for every pair of pads");
static_assert(spot::kPadNameOddBox.x + kColumn == kStripX0 + 1 && spot::kPadNameOddBox.y >= kStripLowerY,
              "odd pads' names start on the lower line of their pair's cell");
static_assert(spot::kPadNameEvenBox.y + spot::kPadNameEvenBox.h <= kStripLowerY + 1,
              "even pads' names stay on the upper line");
static_assert(kBankX0 < kBankSplit && kBankSplit < kBankX1, "IMPORT and EXPORT both have a side");
static_assert(spot::kFaderBox.w == spot::kThumbW && spot::kFaderBox.h > spot::kThumbH,
              "the thumb slides along the track");

}  // namespace editor
