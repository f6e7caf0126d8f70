// The voice table rendered with one instruction set each; chosen by
// RenderPath.cpp. Each is built for its instruction set alone (GCC's target
// pragma), so the rest of the build keeps its baseline flags. Other compilers
// (clang builds the fuzz targets) get the scalar path only.
#pragma once

#include "kit/Pad.h"

#if (defined(__x86_64__) || defined(__i386__)) && defined(__SSE2__) && defined(__GNUC__) && !defined(__clang__)
#define KZ_RENDER_X86 1
// [audio]
void renderTableSse2(Voice* voices, float** outputs, int frames) noexcept;
void renderTableAvx2(Voice* voices, float** outputs, int frames) noexcept;
void renderTableAvx512(Voice* voices, float** outputs, int frames) noexcept;
#endif
