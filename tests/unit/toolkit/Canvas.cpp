#include "unit/toolkit/Canvas.h"

namespace kztest {
namespace {

LRESULT CALLBACK parentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

BitmapReader::BitmapReader(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)), previous_(SelectObject(dc_, bitmap)) {}

BitmapReader::~BitmapReader() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
}

Parent::Parent() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = parentProc;
    wc.lpszClassName = "KzTestParent";
    RegisterClassExA(&wc);
    hwnd_ = CreateWindowExA(0, "KzTestParent", "", WS_POPUP, 0, 0, 700, 420, nullptr, nullptr, kModule, nullptr);
}

Parent::~Parent() {
    DestroyWindow(hwnd_);
    UnregisterClassA("KzTestParent", kModule);
}

}  // namespace kztest
