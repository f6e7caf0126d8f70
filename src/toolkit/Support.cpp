#include "toolkit/Support.h"

#include "toolkit/AppWindow.h"
#include "toolkit/BaseControl.h"

namespace toolkit {

HBITMAP loadBitmap(HINSTANCE instance, int id) { return LoadBitmapA(instance, MAKEINTRESOURCEA(id & 0xFFFF)); }

HBITMAP loadInto(CBaseFactory& factory, int slot, int id) {
    if (!factory.m_bitmaps || slot >= factory.m_bitmapCount) return nullptr;
    factory.m_bitmaps[slot] = loadBitmap(factory.m_hInstance, id);
    return factory.m_bitmaps[slot];
}

void bitmapSize(HBITMAP bitmap, int* width, int* height) {
    BITMAP info;
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) < static_cast<int>(sizeof info)) return;
    *width = info.bmWidth;
    *height = info.bmHeight;
}

bool inside(const CBaseControl& c, int x, int y) {
    long long px = x, py = y;
    return c.m_x < px && px < static_cast<long long>(c.m_x) + c.m_width && c.m_y < py &&
           py < static_cast<long long>(c.m_y) + c.m_height;
}

bool beginRepaint(CBaseControl& c) {
    if (!c.m_open || !c.m_dirty) return false;
    if (AppWindow* window = reinterpret_cast<AppWindow*>(GetWindowLongPtrA(c.m_hWnd, GWLP_USERDATA)))
        window->PreRgnPaint(c.m_x, c.m_y, c.m_width, c.m_height);
    return true;
}

MaskedDraw::MaskedDraw(HDC target) : m_target(target), m_source(CreateCompatibleDC(target)), m_initial(nullptr) {}

MaskedDraw::~MaskedDraw() {
    if (m_initial) SelectObject(m_source, m_initial);
    DeleteDC(m_source);
}

void MaskedDraw::draw(HBITMAP mask, HBITMAP image, int x, int y, int width, int height, int srcX, int srcY) {
    // A picture whose bitmap failed to load is left out.
    if (!mask || !image) return;
    HGDIOBJ previous = SelectObject(m_source, mask);
    if (!m_initial) m_initial = previous;
    BitBlt(m_target, x, y, width, height, m_source, srcX, srcY, SRCAND);
    previous = SelectObject(m_source, image);
    if (!m_initial) m_initial = previous;
    BitBlt(m_target, x, y, width, height, m_source, srcX, srcY, SRCPAINT);
}

}  // namespace toolkit
