#include "toolkit/AppWindow.h"

#include <mutex>

#include "toolkit/Support.h"

namespace {

const char kClassName[] = "BasicWindow";

// The window class lives while windows of it exist: registered with its
// brush at the first opening, unregistered and the brush released when the
// last window closes, so an unloaded module leaves no class behind.
struct WindowClass {
    std::mutex lock;
    int windows = 0;
    HBRUSH brush = nullptr;
    HINSTANCE instance = nullptr;
};

WindowClass& windowClass() {
    static WindowClass wc;
    return wc;
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void acquireWindowClass(HINSTANCE instance) {
    WindowClass& wc = windowClass();
    std::lock_guard<std::mutex> guard(wc.lock);
    if (wc.windows++ > 0) return;
    if (!wc.brush) wc.brush = CreateSolidBrush(RGB(119, 119, 119));
    wc.instance = instance;
    WNDCLASSEXA record = {};
    record.cbSize = sizeof record;
    record.style = CS_HREDRAW | CS_VREDRAW;
    record.lpfnWndProc = windowProc;
    record.hInstance = instance;
    record.hbrBackground = wc.brush;
    record.lpszClassName = kClassName;
    RegisterClassExA(&record);  // fails harmlessly while still registered
}

void releaseWindowClass() {
    WindowClass& wc = windowClass();
    std::lock_guard<std::mutex> guard(wc.lock);
    if (--wc.windows > 0) return;
    // A class that cannot go keeps its brush.
    if (UnregisterClassA(kClassName, wc.instance)) {
        DeleteObject(wc.brush);
        wc.brush = nullptr;
    }
}

// The default handling runs first for every message, so a paint message
// arrives validated and erased before the back buffer covers the window.
LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
    if (message != WM_PAINT && message != WM_LBUTTONDOWN && message != WM_LBUTTONUP && message != WM_MOUSEMOVE)
        return result;
    AppWindow* window = reinterpret_cast<AppWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    int x = static_cast<int>(lParam & 0xFFFF);
    int y = static_cast<int>((lParam >> 16) & 0xFFFF);
    switch (message) {
        case WM_PAINT:
            if (window) window->WinPaint();
            break;
        case WM_LBUTTONDOWN:
            if (window) window->MouseDown(hwnd, x, y);
            SetCapture(hwnd);
            break;
        case WM_LBUTTONUP:
            if (window) window->MouseUp(hwnd, x, y);
            ReleaseCapture();
            break;
        case WM_MOUSEMOVE:
            if (window) window->MouseMove(hwnd, x, y);
            break;
    }
    return result;
}

// A rectangle of the back buffer to the same place in the window.
void copyToWindow(const AppWindow& w, int x, int y, int width, int height) {
    if (!w.m_hWnd) return;
    HDC windowDC = GetDC(w.m_hWnd);
    HGDIOBJ previous = SelectObject(w.m_memDC, w.m_backBuffer);
    BitBlt(windowDC, x, y, width, height, w.m_memDC, x, y, SRCCOPY);
    SelectObject(w.m_memDC, previous);
    ReleaseDC(w.m_hWnd, windowDC);
}

// A rectangle of the background to the same place in the back buffer.
void copyBackground(const AppWindow& w, int x, int y, int width, int height) {
    HDC source = CreateCompatibleDC(w.m_memDC);
    HGDIOBJ previous = SelectObject(source, w.m_background);
    BitBlt(w.m_memDC, x, y, width, height, source, x, y, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

}  // namespace

AppWindow::AppWindow(HINSTANCE hInstance, int width, int height, int backgroundId)
    : m_hInstance(hInstance),
      m_hWnd(nullptr),
      m_background(toolkit::loadBitmap(hInstance, backgroundId)),
      m_backBuffer(nullptr),
      m_memDC(nullptr),
      m_oldBitmap(nullptr),
      m_width(width),
      m_height(height) {}

AppWindow::AppWindow(const AppWindow& other) = default;
AppWindow& AppWindow::operator=(const AppWindow& other) = default;

AppWindow::~AppWindow() {
    CloseWindow();
    if (m_background) DeleteObject(m_background);
}

void AppWindow::OpenWindow(HWND parent) {
    acquireWindowClass(m_hInstance);
    m_hWnd = CreateWindowExA(0, kClassName, "Hello World", WS_CHILD | WS_VISIBLE, 0, 0, m_width, m_height, parent,
                             nullptr, m_hInstance, nullptr);
    if (!m_hWnd) {
        // Nothing to draw into: stay closed.
        releaseWindowClass();
        return;
    }
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    HDC windowDC = GetDC(m_hWnd);
    m_backBuffer = CreateCompatibleBitmap(windowDC, m_width, m_height);
    m_memDC = CreateCompatibleDC(windowDC);
    HDC fill = CreateCompatibleDC(windowDC);
    HGDIOBJ previous = SelectObject(fill, m_backBuffer);
    BitBlt(fill, 0, 0, m_width, m_height, nullptr, 0, 0, WHITENESS);
    SelectObject(fill, previous);
    DeleteDC(fill);
    ReleaseDC(m_hWnd, windowDC);
    m_oldBitmap = SelectObject(m_memDC, m_backBuffer);
    PrePaint();
}

void AppWindow::CloseWindow() {
    if (!m_hWnd) return;
    SelectObject(m_memDC, m_oldBitmap);
    DeleteDC(m_memDC);
    DeleteObject(m_backBuffer);
    // No message of the dying window may reach an object being destroyed.
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    m_backBuffer = nullptr;
    m_memDC = nullptr;
    m_oldBitmap = nullptr;
    releaseWindowClass();
}

void AppWindow::WinPaint() { copyToWindow(*this, 0, 0, m_width, m_height); }

void AppWindow::RgnPaint(int x, int y, int width, int height) { copyToWindow(*this, x, y, width, height); }

void AppWindow::PrePaint() { copyBackground(*this, 0, 0, m_width, m_height); }

void AppWindow::PreRgnPaint(int x, int y, int width, int height) { copyBackground(*this, x, y, width, height); }

void AppWindow::MouseDown(HWND, int, int) {}
void AppWindow::MouseUp(HWND, int, int) {}
void AppWindow::MouseMove(HWND, int, int) {}
void AppWindow::PostPaint() {}
