// The window and the controls drawing on the Linux canvas, pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "toolkit/ButtonsText.h"
#include "toolkit/KnobFader.h"
#include "unit/toolkit/Canvas.h"

using kztest::BitmapReader;
using kztest::kModule;

namespace {

struct Window : ::testing::Test {
    kztest::Parent parent;
    kztest::RecordingWindow window;
    void SetUp() override { window.OpenWindow(parent.hwnd()); }

    COLORREF background(int x, int y) { return BitmapReader(window.m_background).at(x, y); }
    COLORREF back(int x, int y) { return GetPixel(window.m_memDC, x, y); }
    COLORREF screen(int x, int y) {
        HDC dc = GetDC(window.m_hWnd);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(window.m_hWnd, dc);
        return c;
    }
    template <class C>
    std::unique_ptr<C> attach(C* control) {
        control->WOpen(window.m_hWnd, window.m_backBuffer, window.m_memDC);
        return std::unique_ptr<C>(control);
    }
    // Pixels of a rectangle of the back buffer that differ from the background.
    int changed(int x0, int y0, int x1, int y1) {
        BitmapReader bg(window.m_background);
        int n = 0;
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++) n += GetPixel(window.m_memDC, x, y) != bg.at(x, y);
        return n;
    }
    // Checks the back buffer over a rectangle against a picture laid on the
    // background with its mask: (background AND mask) OR image.
    void expectMasked(int x0, int y0, int w, int h, HBITMAP mask, HBITMAP image, int sx, int sy) {
        BitmapReader m(mask), i(image), bg(window.m_background);
        int wrong = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                COLORREF want = (bg.at(x0 + x, y0 + y) & m.at(sx + x, sy + y)) | i.at(sx + x, sy + y);
                wrong += GetPixel(window.m_memDC, x0 + x, y0 + y) != want;
            }
        EXPECT_EQ(wrong, 0) << "at " << x0 << "," << y0 << " from " << sx << "," << sy;
    }
};

TEST(AppWindowLife, ClosedWindowDoesNothingAndReopens) {
    kztest::Parent parent;
    int baseline = platform::gdi::liveObjects();
    {
        kztest::RecordingWindow w;
        ASSERT_NE(w.m_background, nullptr);
        EXPECT_EQ(w.m_hWnd, nullptr);
        w.CloseWindow();
        w.CloseWindow();
        w.WinPaint();
        w.RgnPaint(0, 0, 10, 10);
        for (int round = 0; round < 2; round++) {
            w.OpenWindow(parent.hwnd());
            ASSERT_NE(w.m_hWnd, nullptr);
            EXPECT_EQ(GetParent(w.m_hWnd), parent.hwnd());
            EXPECT_EQ(GetWindowLongPtrA(w.m_hWnd, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&w));
            EXPECT_EQ(BitmapReader(w.m_background).at(5, 5), GetPixel(w.m_memDC, 5, 5));
            HWND old = w.m_hWnd;
            w.CloseWindow();
            EXPECT_EQ(w.m_hWnd, nullptr);
            EXPECT_EQ(w.m_memDC, nullptr);
            EXPECT_FALSE(IsWindow(old));
            // The class and its brush go with the last window.
            EXPECT_EQ(platform::gdi::liveObjects(), baseline + 1);  // the background alone
        }
    }
    EXPECT_EQ(platform::gdi::liveObjects(), baseline);
}

TEST_F(Window, FirstPaintShowsExactlyTheBackground) {
    SendMessageA(window.m_hWnd, WM_PAINT, 0, 0);
    EXPECT_EQ(window.paints, 1);
    BitmapReader bg(window.m_background);
    HDC dc = GetDC(window.m_hWnd);
    int wrong = 0;
    for (int y = 0; y < 400; y++)
        for (int x = 0; x < 670; x++) wrong += GetPixel(dc, x, y) != bg.at(x, y);
    ReleaseDC(window.m_hWnd, dc);
    EXPECT_EQ(wrong, 0);
}

TEST_F(Window, MouseMessagesReachTheHooksWithUnsignedCoordinates) {
    HWND h = window.m_hWnd;
    SendMessageA(h, WM_LBUTTONDOWN, 1, MAKELPARAM(-5, 20));
    EXPECT_EQ(window.lastEvent, 1);
    EXPECT_EQ(window.lastHwnd, h);
    EXPECT_EQ(window.lastX, 65531);
    EXPECT_EQ(window.lastY, 20);
    EXPECT_EQ(GetCapture(), h);
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(30, -1));
    EXPECT_EQ(window.lastEvent, 3);
    EXPECT_EQ(window.lastY, 65535);
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(31, 41));
    EXPECT_EQ(window.lastEvent, 2);
    EXPECT_EQ(window.lastX, 31);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Window, ButtonMessagesChangeCaptureWithoutAnObject) {
    HWND h = window.m_hWnd;
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    SendMessageA(h, WM_LBUTTONDOWN, 1, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), h);
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(h, WM_PAINT, 0, 0);
    EXPECT_EQ(window.lastEvent, 0);
    EXPECT_EQ(window.paints, 0);
    EXPECT_EQ(screen(10, 10), RGB(119, 119, 119));  // the class brush only
}

TEST_F(Window, RegionCopiesUseTheSamePoint) {
    BitBlt(window.m_memDC, 0, 0, 670, 400, nullptr, 0, 0, WHITENESS);
    window.PreRgnPaint(100, 50, 30, 20);
    EXPECT_EQ(back(100, 50), background(100, 50));
    EXPECT_EQ(back(129, 69), background(129, 69));
    EXPECT_EQ(back(99, 50), 0xFFFFFFu);
    EXPECT_EQ(back(130, 69), 0xFFFFFFu);
    EXPECT_EQ(back(100, 70), 0xFFFFFFu);
    window.RgnPaint(110, 60, 5, 5);
    EXPECT_EQ(screen(110, 60), background(110, 60));
    EXPECT_EQ(screen(114, 64), background(114, 64));
    EXPECT_EQ(screen(115, 64), 0u);  // not yet painted
    window.PrePaint();
    EXPECT_EQ(changed(0, 0, 670, 400), 0);
}

TEST_F(Window, KnobShowsTheFrameOfItsState) {
    CKnobFactory factory(kModule, 210, 209, false);
    auto knob = attach(factory.CreateKnob(61, 115));
    struct Case {
        float state;
        int frame;
    } cases[] = {{0.0f, 0}, {0.5f, 31}, {0.999f, 62}, {1.0f, 63}, {1.7f, 63}, {-0.5f, 0}};
    for (const Case& c : cases) {
        knob->SetState(c.state, false);
        knob->m_dirty = true;
        knob->Repaint();
        EXPECT_FALSE(knob->m_dirty);
        expectMasked(61, 115, 25, 25, factory.m_mask, factory.m_image, c.frame * 25, 0);
    }
    EXPECT_EQ(changed(0, 0, 61, 400) + changed(86, 0, 670, 400), 0);
}

TEST_F(Window, ClosedOrCleanControlsDoNotDraw) {
    CKnobFactory factory(kModule, 210, 209, false);
    std::unique_ptr<CKnob> knob(factory.CreateKnob(61, 115));
    knob->SetState(0.3f, false);
    knob->Repaint();
    EXPECT_TRUE(knob->m_dirty);
    knob->WOpen(window.m_hWnd, window.m_backBuffer, window.m_memDC);
    knob->Repaint();
    BitBlt(window.m_memDC, 61, 115, 25, 25, nullptr, 0, 0, WHITENESS);
    knob->Repaint();  // clean now
    EXPECT_EQ(back(70, 120), 0xFFFFFFu);
}

TEST_F(Window, FaderThumbSlidesAlongItsTrack) {
    CFaderFactory factory(kModule, 196, 216, 203, 204, false);
    auto fader = attach(factory.CreateFader(67, 296));
    struct Case {
        float state;
        int top;
    } cases[] = {{1.0f, 296}, {0.0f, 377}, {0.5f, 336}, {2.0f, 296}, {-1.0f, 377}};
    for (const Case& c : cases) {
        fader->SetState(c.state, false);
        fader->m_dirty = true;
        fader->Repaint();
        // Track first, then the thumb over it.
        BitmapReader tm(factory.m_trackMask), ti(factory.m_trackImage), hm(factory.m_thumbMask),
            hi(factory.m_thumbImage), bg(window.m_background);
        int wrong = 0;
        for (int y = 0; y < 94; y++)
            for (int x = 0; x < 16; x++) {
                COLORREF want = (bg.at(67 + x, 296 + y) & tm.at(x, y)) | ti.at(x, y);
                int ty = 296 + y - c.top;
                if (ty >= 0 && ty < 13) want = (want & hm.at(x, ty)) | hi.at(x, ty);
                wrong += back(67 + x, 296 + y) != want;
            }
        EXPECT_EQ(wrong, 0) << "state " << c.state;
    }
}

TEST_F(Window, ButtonsDrawThePairOfTheirDisplay) {
    CButtonFactory factory(kModule, 217, 217, 217, 219, 218, 220);
    auto latch = attach(factory.CreateLatchingButton(56, 250));
    auto moment = attach(factory.CreateMomentaryButton(75, 250));
    latch->Repaint();
    moment->Repaint();
    expectMasked(56, 250, 17, 12, factory.m_offMask, factory.m_offImage, 0, 0);
    expectMasked(75, 250, 17, 12, factory.m_onMask, factory.m_onImage, 0, 0);  // at rest: the on pair
    latch->HitTest(60, 255, false, true);
    moment->HitTest(80, 255, false, true);
    latch->Repaint();
    moment->Repaint();
    expectMasked(56, 250, 17, 12, factory.m_downMask, factory.m_downImage, 0, 0);
    expectMasked(75, 250, 17, 12, factory.m_downMask, factory.m_downImage, 0, 0);
    latch->HitTest(60, 255, true, true);
    latch->Repaint();
    expectMasked(56, 250, 17, 12, factory.m_onMask, factory.m_onImage, 0, 0);
}

struct Text : Window {
    CStaticTextFactory factory{kModule, 13, const_cast<char*>("Arial"), 63, 30, 0xFFDD22};
    // Bounds of the pixels the text changed: left, top, right, bottom (exclusive).
    std::vector<int> ink(int x0, int y0, int x1, int y1) {
        BitmapReader bg(window.m_background);
        std::vector<int> b = {x1, y1, x0, y0};
        for (int y = y0; y < y1; y++)
            for (int x = x0; x < x1; x++)
                if (back(x, y) != bg.at(x, y)) {
                    b[0] = std::min(b[0], x);
                    b[1] = std::min(b[1], y);
                    b[2] = std::max(b[2], x + 1);
                    b[3] = std::max(b[3], y + 1);
                }
        return b;
    }
};

TEST_F(Text, CentredAtTheTopOfItsBox) {
    auto t = attach(factory.CreateStaticText(200, 150, const_cast<char*>("Kick")));
    t->Repaint();
    std::vector<int> b = ink(150, 130, 320, 200);
    EXPECT_GE(b[0], 200);
    EXPECT_LE(b[2], 263);
    EXPECT_NEAR(b[0] - 200, 263 - b[2], 2);
    EXPECT_GE(b[1], 150);
    EXPECT_LE(b[3], 150 + 13);
    EXPECT_GT(b[2] - b[0], 15);  // four letters of about six pixels
    BitmapReader bg(window.m_background);
    bool full = false;  // some pixel wholly in the text colour
    for (int y = b[1]; y < b[3]; y++)
        for (int x = b[0]; x < b[2]; x++) full |= back(x, y) == 0xFFDD22u;
    EXPECT_TRUE(full);
}

TEST_F(Text, WideTextIsClippedAndLineBreaksMakeLines) {
    auto wide = attach(factory.CreateStaticText(200, 150, const_cast<char*>("WWWWWWWWWWWWWWWW")));
    wide->Repaint();
    std::vector<int> b = ink(150, 130, 320, 200);
    EXPECT_EQ(b[0], 200);
    EXPECT_EQ(b[2], 263);
    EXPECT_LT(b[3], 150 + 13);  // one line: no wrapping
    auto lines = attach(factory.CreateStaticText(400, 150, const_cast<char*>("A\nB")));
    lines->Repaint();
    std::vector<int> first = ink(400, 150, 463, 163), second = ink(400, 163, 463, 180);
    EXPECT_LT(first[0], first[2]);
    EXPECT_LT(second[0], second[2]);
    EXPECT_NEAR((first[0] + first[2]) / 2, 431, 2);
    EXPECT_NEAR((second[0] + second[2]) / 2, 431, 2);
}

TEST_F(Text, NoTextOnlyRestoresTheBackground) {
    auto t = attach(factory.CreateStaticText(200, 150, nullptr));
    BitBlt(window.m_memDC, 200, 150, 63, 30, nullptr, 0, 0, WHITENESS);
    t->Repaint();
    EXPECT_FALSE(t->m_dirty);
    EXPECT_EQ(changed(150, 130, 320, 200), 0);
}

}  // namespace
