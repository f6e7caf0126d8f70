// Windows graphics and window calls used by the control toolkit: the real
// GDI32/USER32 on Windows, the project's own in-memory stand-in elsewhere.
#pragma once

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

}  // namespace gdi
}  // namespace platform
