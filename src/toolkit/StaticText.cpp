#include <cstring>
#include <new>

#include "toolkit/ButtonsText.h"
#include "toolkit/Support.h"

namespace {
constexpr size_t kTextBuffer = 256;  // 255 characters and the terminator
}

CStaticTextFactory::CStaticTextFactory(HINSTANCE hInstance, int fontHeight, char* faceName, int width, int height,
                                       COLORREF color)
    : CBaseFactory(ftStaticText, 0),
      m_font(CreateFontA(fontHeight, fontHeight / 2, 0, 0, 1, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, faceName)),
      m_color(color) {
    m_hInstance = hInstance;
    m_width = width;
    m_height = height;
}

CStaticTextFactory::CStaticTextFactory(const CStaticTextFactory& other) = default;
CStaticTextFactory& CStaticTextFactory::operator=(const CStaticTextFactory& other) = default;

CStaticTextFactory::~CStaticTextFactory() {
    if (m_font) DeleteObject(m_font);
}

CStaticText* CStaticTextFactory::CreateStaticText(int x, int y, char* text) {
    return new (std::nothrow) CStaticText(m_hInstance, this, x, y, text);
}

CStaticText::CStaticText(HINSTANCE hInstance, CStaticTextFactory* factory, int x, int y, char* text)
    : CBaseControl(hInstance, ctStaticText),
      m_font(factory ? factory->m_font : nullptr),
      m_text(nullptr),
      m_color(factory ? factory->m_color : 0) {
    m_x = x;
    m_y = y;
    m_width = factory ? factory->m_width : 0;
    m_height = factory ? factory->m_height : 0;
    SetText(text);
    m_dirty = true;
}

CStaticText::CStaticText(const CStaticText& other) = default;
CStaticText& CStaticText::operator=(const CStaticText& other) = default;

CStaticText::~CStaticText() { delete[] m_text; }

void CStaticText::SetText(char* text) {
    m_dirty = true;
    if (!text) return;
    // Copied before the old buffer goes, so a text taken from it survives.
    char* buffer = new (std::nothrow) char[kTextBuffer]();
    if (buffer) std::strncpy(buffer, text, kTextBuffer - 1);
    delete[] m_text;
    m_text = buffer;
}

void CStaticText::Repaint() {
    if (!toolkit::beginRepaint(*this)) return;
    if (m_text) {
        HGDIOBJ oldFont = SelectObject(m_memDC, m_font);
        int oldMode = SetBkMode(m_memDC, TRANSPARENT);
        COLORREF oldColor = SetTextColor(m_memDC, m_color);
        RECT box = {m_x, m_y, m_x + m_width, m_y + m_height};
        DrawTextA(m_memDC, m_text, -1, &box, DT_CENTER);
        SetTextColor(m_memDC, oldColor);
        SetBkMode(m_memDC, oldMode);
        SelectObject(m_memDC, oldFont);
    }
    m_dirty = false;
}
