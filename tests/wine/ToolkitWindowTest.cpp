// The toolkit exported by kz318.dll on real Windows graphics: an AppWindow
// opened in a parent window, painted, driven by posted mouse messages through
// its window procedure, closed and opened again; controls drawn from the
// DLL's own bitmap resources. Usage: kz318-toolkit-test.exe [FILTER]
#include <windows.h>

#include <vector>

#include "support/HostFrame.h"
#include "support/MiniTest.h"
#include "toolkit/AppWindow.h"
#include "toolkit/ButtonsText.h"
#include "toolkit/KnobFader.h"

namespace {

HINSTANCE dll() { return GetModuleHandleA("kz318.dll"); }

struct Event {
    int kind;  // 1 down, 2 up, 3 move
    HWND hwnd;
    int x, y;
};

class TestWindow : public AppWindow {
public:
    TestWindow() : AppWindow(dll(), 670, 400, 215) {}
    void MouseDown(HWND h, int x, int y) override { events.push_back({1, h, x, y}); }
    void MouseUp(HWND h, int x, int y) override { events.push_back({2, h, x, y}); }
    void MouseMove(HWND h, int x, int y) override { events.push_back({3, h, x, y}); }
    void WinPaint() override {
        paints++;
        AppWindow::WinPaint();
    }
    bool saw(int kind, int x, int y) const {
        for (const Event& e : events)
            if (e.kind == kind && e.hwnd == m_hWnd && e.x == x && e.y == y) return true;
        return false;
    }
    std::vector<Event> events;
    int paints = 0;
};

void pump() { testhost::pumpMessages(); }

COLORREF pixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

bool classRegistered() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    return GetClassInfoExA(dll(), "BasicWindow", &wc) != 0;
}

TEST_CASE(window_opens_paints_takes_mouse_and_reopens) {
    testhost::HostFrame frame;
    HWND parent = frame.hwnd;
    CHECK(parent != nullptr);
    CHECK(dll() != nullptr);
    TestWindow w;
    CHECK(w.m_background != nullptr);
    for (int round = 0; round < 2; round++) {
        w.events.clear();
        w.paints = 0;
        w.OpenWindow(parent);
        HWND h = w.m_hWnd;
        CHECK(IsWindow(h));
        CHECK(GetParent(h) == parent);
        CHECK(GetWindowLongPtrA(h, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(&w));
        CHECK(classRegistered());
        CHECK_EQ(GetPixel(w.m_memDC, 300, 200), pixelOf(w.m_background, 300, 200));

        InvalidateRect(h, nullptr, TRUE);
        UpdateWindow(h);
        pump();
        CHECK(w.paints >= 1);
        HDC screen = GetDC(h);
        CHECK_EQ(GetPixel(screen, 20, 20), pixelOf(w.m_background, 20, 20));
        ReleaseDC(h, screen);

        PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
        pump();
        CHECK(w.saw(1, 10, 20));
        CHECK(GetCapture() == h);
        PostMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-5, 30));
        pump();
        CHECK(w.saw(3, 65531, 30));
        PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(40, 50));
        pump();
        CHECK(w.saw(2, 40, 50));
        CHECK(GetCapture() != h);

        w.CloseWindow();
        CHECK(!IsWindow(h));
        CHECK(w.m_hWnd == nullptr);
        CHECK(!classRegistered());  // the last window took the class and its brush along
        CHECK(w.m_background != nullptr);
    }
}

TEST_CASE(controls_draw_from_the_dll_bitmaps) {
    testhost::HostFrame frame;
    HWND parent = frame.hwnd;
    TestWindow w;
    w.OpenWindow(parent);
    CKnobFactory knobs(dll(), 210, 209, false);
    CHECK_EQ(knobs.m_width, 25);
    CHECK_EQ(knobs.m_height, 25);
    CKnob* knob = knobs.CreateKnob(61, 115);
    knob->WOpen(w.m_hWnd, w.m_backBuffer, w.m_memDC);
    knob->SetState(1.0f, false);
    knob->Repaint();
    int wrong = 0;
    for (int y = 0; y < 25; y++)
        for (int x = 0; x < 25; x++) {
            COLORREF want = (pixelOf(w.m_background, 61 + x, 115 + y) & pixelOf(knobs.m_mask, 63 * 25 + x, y)) |
                            pixelOf(knobs.m_image, 63 * 25 + x, y);
            wrong += GetPixel(w.m_memDC, 61 + x, 115 + y) != want;
        }
    CHECK_EQ(wrong, 0);

    CStaticTextFactory texts(dll(), 13, const_cast<char*>("Arial"), 63, 12, 0xFFDD22);
    CStaticText* name = texts.CreateStaticText(65, 56, const_cast<char*>("Kick 01"));
    name->WOpen(w.m_hWnd, w.m_backBuffer, w.m_memDC);
    name->Repaint();
    int inked = 0;
    for (int y = 56; y < 68; y++)
        for (int x = 65; x < 128; x++) inked += GetPixel(w.m_memDC, x, y) != pixelOf(w.m_background, x, y);
    CHECK(inked > 20);
    CHECK(!name->m_dirty);

    delete name;
    delete knob;
    w.CloseWindow();
}

}  // namespace

int main(int argc, char** argv) { return minitest::runAll(argc > 1 ? argv[1] : ""); }
