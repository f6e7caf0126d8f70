// Where the editor puts its controls and the clickable areas of the
// background (all from the editor's geometry), and the panel's palette.
#pragma once

#include "Canvas.h"
#include "editor/EditorGeometry.h"

namespace draw {

using editor::kBankSplit;
using editor::kBankX0;
using editor::kBankX1;
using editor::kBankY0;
using editor::kBankY1;
using editor::kCell;
using editor::kHeight;
using editor::kStripX0;
using editor::kStripX1;
using editor::kStripY0;
using editor::kStripY1;
using editor::kWidth;
using editor::Spot;
namespace bitmap = editor::bitmap;
namespace spot = editor::spot;

constexpr int kPitch = editor::kColumn;
constexpr int kPads = editor::kColumns;

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
