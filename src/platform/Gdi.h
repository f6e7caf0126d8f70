// Windows graphics and window calls used by the control toolkit: the real
// GDI32/USER32 on Windows, the project's own in-memory stand-in elsewhere.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/posix/GdiApi.h"
#endif

namespace platform {
namespace gdi {

// The module (DLL or shared object) that holds this code and its bitmaps.
HINSTANCE thisModule();

// Delivers the pending input and exposure of windows shown inside a native
// parent that has no message loop working for them (X11 on Linux, driven by
// the host's editor idle calls). Windows delivers them itself: no-op there.
void pumpEvents();

// The native window an editor of this module shows inside the native window
// `parent` (an X11 window id, a Windows HWND), or 0 when there is none: what
// a host that embeds by window id is handed as the editor's widget.
uintptr_t nativeChildOf(uintptr_t parent);

// Shows or hides an editor's native window (one nativeChildOf gave) inside
// its parent, keeping the editor open; false when it is no such window.
bool showNativeChild(uintptr_t child, bool shown);

// Calls tick(context) about every `milliseconds` through the calling
// thread's message loop until stopIdleTimer: the editor's idle where a host
// offers no timer (VST 3 on Windows). 0 where the platform has no such loop
// or the timer could not be made; the host's run loop idles editors there.
uintptr_t startIdleTimer(void (*tick)(void*), void* context, unsigned milliseconds);
void stopIdleTimer(uintptr_t timer);

}  // namespace gdi
}  // namespace platform
