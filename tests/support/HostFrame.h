// What a Windows test host needs around an editor: a frame window for it to
// open in, as a host's plug-in window, and a way to run the thread's
// message loop for a while.
#pragma once

#include <windows.h>

namespace testhost {

class HostFrame {
public:
    explicit HostFrame(bool visible = true) {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KzTestHostFrame";
        RegisterClassExA(&wc);  // fails harmlessly for the second frame
        hwnd = CreateWindowExA(0, "KzTestHostFrame", "host", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, 0,
                               720, 480, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~HostFrame() { DestroyWindow(hwnd); }
    HostFrame(const HostFrame&) = delete;
    HostFrame& operator=(const HostFrame&) = delete;

    bool ok() const { return hwnd != nullptr; }
    HWND child() const { return GetWindow(hwnd, GW_CHILD); }

    HWND hwnd;
};

// Delivers what is queued for this thread's windows and timers.
inline void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Runs the message loop for about `milliseconds`.
inline void pumpMessagesFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        pumpMessages();
        Sleep(5);
    }
}

}  // namespace testhost
