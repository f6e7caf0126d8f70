// The toolkit's platform calls that Windows answers itself.
#include "platform/Gdi.h"

#include <mutex>

HINSTANCE platform::gdi::thisModule() {
    // Found from the address of this very function, so the name the file
    // was given when installed does not matter.
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&platform::gdi::thisModule), &module);
    return module;
}

void platform::gdi::pumpEvents() {}

// The editor's window is the child of the parent that this module created.
uintptr_t platform::gdi::nativeChildOf(uintptr_t parent) {
    const HINSTANCE module = thisModule();
    for (HWND child = GetWindow(reinterpret_cast<HWND>(parent), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(child, GWLP_HINSTANCE)) == module)
            return reinterpret_cast<uintptr_t>(child);
    return 0;
}

bool platform::gdi::showNativeChild(uintptr_t child, bool shown) {
    const HWND window = reinterpret_cast<HWND>(child);
    if (!window || !IsWindow(window)) return false;
    ShowWindow(window, shown ? SW_SHOW : SW_HIDE);
    return true;
}

namespace {

// Thread timers carry no context of their own: their ids lead to it here.
struct IdleTimer {
    UINT_PTR id;
    void (*tick)(void*);
    void* context;
};
IdleTimer idleTimers[32];
std::mutex idleTimersLock;

void CALLBACK idleTimerFired(HWND, UINT, UINT_PTR id, DWORD) {
    void (*tick)(void*) = nullptr;
    void* context = nullptr;
    {
        std::lock_guard<std::mutex> lock(idleTimersLock);
        for (const IdleTimer& t : idleTimers)
            if (t.id == id) tick = t.tick, context = t.context;
    }
    if (tick) tick(context);
}

}  // namespace

uintptr_t platform::gdi::startIdleTimer(void (*tick)(void*), void* context, unsigned milliseconds) {
    if (!tick) return 0;
    std::lock_guard<std::mutex> lock(idleTimersLock);
    for (IdleTimer& t : idleTimers) {
        if (t.id) continue;
        t.id = SetTimer(nullptr, 0, milliseconds, idleTimerFired);
        if (!t.id) return 0;
        t.tick = tick;
        t.context = context;
        return t.id;
    }
    return 0;
}

void platform::gdi::stopIdleTimer(uintptr_t timer) {
    if (!timer) return;
    KillTimer(nullptr, timer);
    std::lock_guard<std::mutex> lock(idleTimersLock);
    for (IdleTimer& t : idleTimers)
        if (t.id == timer) t = IdleTimer{};
}
