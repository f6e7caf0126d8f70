// Windows graphics and window calls used by the control toolkit: the real
// GDI32/USER32 on Windows, the project's own in-memory stand-in elsewhere.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/posix/GdiApi.h"
#endif
