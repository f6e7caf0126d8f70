// Export marker of the toolkit's classes. Programs that link against the
// plug-in DLL define KZ_TOOLKIT_IMPORT and import them instead.
#pragma once

#include "host/Export.h"

#if defined(_WIN32) && defined(KZ_TOOLKIT_IMPORT)
#undef KZ_EXPORT
#define KZ_EXPORT __declspec(dllimport)
#endif
