// Helpers of the toolkit tests: an off-screen parent window, an open
// AppWindow in it, and pixel access to bitmaps and contexts.
#pragma once

#include <functional>

#include "toolkit/AppWindow.h"

namespace kztest {

constexpr HINSTANCE kModule = nullptr;

// Reads the pixels of a bitmap through a temporary memory context.
class BitmapReader {
public:
    explicit BitmapReader(HBITMAP bitmap);
    ~BitmapReader();
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Records the window's hook calls.
class RecordingWindow : public AppWindow {
public:
    RecordingWindow() : AppWindow(kModule, 670, 400, 215) {}
    void MouseDown(HWND hwnd, int x, int y) override { record(1, hwnd, x, y); }
    void MouseUp(HWND hwnd, int x, int y) override { record(2, hwnd, x, y); }
    void MouseMove(HWND hwnd, int x, int y) override { record(3, hwnd, x, y); }
    void WinPaint() override {
        paints++;
        AppWindow::WinPaint();
    }
    int lastEvent = 0, lastX = -1, lastY = -1, paints = 0;
    HWND lastHwnd = nullptr;

private:
    void record(int e, HWND h, int x, int y) {
        lastEvent = e;
        lastHwnd = h;
        lastX = x;
        lastY = y;
    }
};

// A parent window for the tests' AppWindows.
class Parent {
public:
    Parent();
    ~Parent();
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_;
};

}  // namespace kztest
