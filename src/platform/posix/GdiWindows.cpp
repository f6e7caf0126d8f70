// GDI stand-in: window classes, off-screen windows, their messages, user
// data, device contexts and the mouse capture.
#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "platform/posix/GdiNative.h"
#include "platform/posix/GdiObjects.h"

namespace platform {
namespace gdi {
namespace {

struct WindowClass {
    WNDPROC proc;
    HINSTANCE instance;
    HBRUSH background;
    int windows = 0;
};

struct Window {
    std::string className;
    WNDPROC proc;
    HWND parent;
    LONG_PTR userData = 0;
    bool enabled = true;
    NativeView* native = nullptr;  // shown inside a native parent
    Bitmap client;
    Window(const std::string& name, WNDPROC proc, HWND parent, int width, int height)
        : className(name), proc(proc), parent(parent), client(width, height) {}
};

// Class names compare without regard to case, as on Windows.
std::string key(LPCSTR name) {
    std::string k = name ? name : "";
    std::transform(k.begin(), k.end(), k.begin(), [](unsigned char c) { return std::tolower(c); });
    return k;
}

std::map<std::string, WindowClass>& classes() {
    static std::map<std::string, WindowClass> all;
    return all;
}

std::map<HWND, Window*>& windows() {
    static std::map<HWND, Window*> all;
    return all;
}

HWND captured = nullptr;

Window* window(HWND handle) {
    auto it = windows().find(handle);
    return it == windows().end() ? nullptr : it->second;
}

}  // namespace

Bitmap* clientImage(HWND handle) {
    Window* w = window(handle);
    return w ? &w->client : nullptr;
}

}  // namespace gdi
}  // namespace platform

using namespace platform::gdi;
using Guard = std::lock_guard<std::recursive_mutex>;

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
    Guard guard(lock());
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpfnWndProc || !wc->lpszClassName) return 0;
    if (!classes()
             .emplace(key(wc->lpszClassName), WindowClass{wc->lpfnWndProc, wc->hInstance, wc->hbrBackground})
             .second)
        return 0;  // already registered
    return static_cast<ATOM>(0xC000 + classes().size());
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    Guard guard(lock());
    auto it = classes().find(key(className));
    if (it == classes().end() || it->second.windows > 0) return FALSE;
    classes().erase(it);
    return TRUE;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR, DWORD style, int, int, int width, int height, HWND parent, HMENU,
                     HINSTANCE, LPVOID) {
    Guard guard(lock());
    auto it = classes().find(key(className));
    if (it == classes().end() || width <= 0 || height <= 0 || static_cast<long long>(width) * height > (1LL << 26))
        return nullptr;
    Window* w = new Window(it->first, it->second.proc, parent, width, height);
    HWND handle = reinterpret_cast<HWND>(w);
    windows()[handle] = w;
    it->second.windows++;
    // A child of no window of ours: a null parent keeps it off-screen, any
    // other is the host's native window.
    if ((style & WS_CHILD) && parent && !window(parent))
        w->native = attachNative(handle, reinterpret_cast<uintptr_t>(parent), width, height);
    return handle;
}

BOOL DestroyWindow(HWND handle) {
    Guard guard(lock());
    Window* w = window(handle);
    if (!w) return FALSE;
    // Children go with their parent.
    std::vector<HWND> children;
    for (auto& entry : windows())
        if (entry.second->parent == handle) children.push_back(entry.first);
    for (HWND child : children) DestroyWindow(child);
    if (captured == handle) captured = nullptr;
    if (w->native) detachNative(w->native);
    auto cls = classes().find(w->className);
    if (cls != classes().end()) cls->second.windows--;
    windows().erase(handle);
    delete w;
    return TRUE;
}

BOOL IsWindow(HWND handle) {
    Guard guard(lock());
    return window(handle) != nullptr;
}

HWND GetParent(HWND handle) {
    Guard guard(lock());
    Window* w = window(handle);
    return w ? w->parent : nullptr;
}

// The default handling paints what Windows' erase would: the class brush
// over the whole client area.
LRESULT DefWindowProcA(HWND handle, UINT message, WPARAM, LPARAM) {
    Guard guard(lock());
    Window* w = window(handle);
    if (!w || message != WM_PAINT) return 0;
    auto cls = classes().find(w->className);
    Brush* brush = cls == classes().end() ? nullptr : find<Brush>(cls->second.background);
    if (brush) std::fill(w->client.pixels.begin(), w->client.pixels.end(), brush->color);
    return 0;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc;
    {
        Guard guard(lock());
        Window* w = window(handle);
        if (!w) return 0;
        proc = w->proc;
    }
    return proc(handle, message, wParam, lParam);
}

LONG_PTR SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
    Guard guard(lock());
    Window* w = window(handle);
    if (!w || index != GWLP_USERDATA) return 0;
    LONG_PTR previous = w->userData;
    w->userData = value;
    return previous;
}

LONG_PTR GetWindowLongPtrA(HWND handle, int index) {
    Guard guard(lock());
    Window* w = window(handle);
    return w && index == GWLP_USERDATA ? w->userData : 0;
}

// A null window gives a context of the screen, which has no pixels here.
HDC GetDC(HWND handle) {
    Guard guard(lock());
    if (handle && !window(handle)) return nullptr;
    Dc* dc = new Dc();
    dc->window = handle;
    dc->font = stockFont();
    dc->font->selections++;
    return static_cast<HDC>(adopt(dc));
}

int ReleaseDC(HWND, HDC dc) {
    Guard guard(lock());
    Dc* d = find<Dc>(dc);
    if (!d || d->memory) return 0;
    // What was drawn through the context reaches the screen now.
    Window* w = window(d->window);
    if (w && w->native) presentNative(w->native, w->client);
    return DeleteDC(dc);
}

HWND SetCapture(HWND handle) {
    Guard guard(lock());
    HWND previous = captured;
    if (window(handle)) captured = handle;
    return previous;
}

BOOL ReleaseCapture() {
    Guard guard(lock());
    captured = nullptr;
    return TRUE;
}

HWND GetCapture() {
    Guard guard(lock());
    return captured;
}

BOOL EnableWindow(HWND handle, BOOL enable) {
    Guard guard(lock());
    Window* w = window(handle);
    if (!w) return FALSE;
    bool wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND handle) {
    Guard guard(lock());
    Window* w = window(handle);
    return w && w->enabled;
}
