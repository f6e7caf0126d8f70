#include "toolkit/BaseControl.h"

#include <new>

CBaseControl::CBaseControl(HINSTANCE hInstance, ControlType type)
    : m_type(type),
      m_dirty(false),
      m_x(0),
      m_y(0),
      m_width(0),
      m_height(0),
      m_open(false),
      m_hWnd(nullptr),
      m_hInstance(hInstance),
      m_backBuffer(nullptr),
      m_memDC(nullptr) {}

CBaseControl::CBaseControl(const CBaseControl& other) = default;
CBaseControl& CBaseControl::operator=(const CBaseControl& other) = default;

CBaseControl::~CBaseControl() {
    if (m_open) WClose();
}

void CBaseControl::WOpen(HWND hwnd, HBITMAP backBuffer, HDC memDC) {
    m_hWnd = hwnd;
    m_backBuffer = backBuffer;
    m_memDC = memDC;
    m_open = true;
    m_dirty = true;
}

void CBaseControl::WClose() {
    m_hWnd = nullptr;
    m_backBuffer = nullptr;
    m_memDC = nullptr;
    m_open = false;
}

float CBaseControl::GetState() { return 0.0f; }
void CBaseControl::SetState(float, bool) {}
int CBaseControl::HitTest(int, int, bool, bool) { return hitNone; }
void CBaseControl::Repaint() {}

void CBaseControl::GetRegion(int* x, int* y, int* width, int* height) {
    *x = m_x;
    *y = m_y;
    *width = m_width;
    *height = m_height;
}

CBaseFactory::CBaseFactory(FactoryType type, int count)
    : m_type(type),
      m_hInstance(nullptr),
      m_bitmaps(new (std::nothrow) HBITMAP[count > 0 ? count : 0]()),
      m_bitmapCount(m_bitmaps && count > 0 ? count : 0),
      m_width(0),
      m_height(0) {}

CBaseFactory::CBaseFactory(const CBaseFactory& other) = default;
CBaseFactory& CBaseFactory::operator=(const CBaseFactory& other) = default;

CBaseFactory::~CBaseFactory() {
    for (int i = 0; i < m_bitmapCount; i++)
        if (m_bitmaps[i]) DeleteObject(m_bitmaps[i]);
    delete[] m_bitmaps;
}
