// Steps shared by the controls and the factories: loading bitmaps, the
// inside test and the repaint.
#pragma once

#include "platform/Gdi.h"

class CBaseControl;
class CBaseFactory;

namespace toolkit {

// LoadBitmapA with the low 16 bits of id as an integer resource identifier.
HBITMAP loadBitmap(HINSTANCE instance, int id);

// Loads bitmap id into the factory's slot (null when the factory has no
// table) and returns it.
HBITMAP loadInto(CBaseFactory& factory, int slot, int id);

// Width and height of a bitmap; left unchanged when it is not one.
void bitmapSize(HBITMAP bitmap, int* width, int* height);

// The strict inside test: the first column and row are outside, and so are
// the points one past the right and bottom edges.
bool inside(const CBaseControl& control, int x, int y);

// The first steps of a repaint: false when the control is closed or clean;
// otherwise restores the background under the control and returns true.
bool beginRepaint(CBaseControl& control);

// Masked draws into a memory context through one temporary context: the
// mask ANDed in (black where opaque), then the image ORed over it.
class MaskedDraw {
public:
    explicit MaskedDraw(HDC target);
    ~MaskedDraw();
    MaskedDraw(const MaskedDraw&) = delete;
    MaskedDraw& operator=(const MaskedDraw&) = delete;
    void draw(HBITMAP mask, HBITMAP image, int x, int y, int width, int height, int srcX, int srcY);

private:
    HDC m_target;
    HDC m_source;
    HGDIOBJ m_initial;
};

}  // namespace toolkit
