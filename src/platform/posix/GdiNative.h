// Internals of the GDI stand-in: showing a window's client image inside a
// native X11 parent window, and taking that window's input.
#pragma once

#include <cstdint>

#include "platform/posix/GdiObjects.h"

namespace platform {
namespace gdi {

struct NativeView;

// An X11 child of the native window parent, of the given size, that shows
// window's image and reports its input to it. Null without a display or
// when parent is no window of the display.
NativeView* attachNative(HWND window, uintptr_t parent, int width, int height);
void detachNative(NativeView* view);
// Copies the image to the screen, until the host destroys the parent.
void presentNative(NativeView* view, const Bitmap& image);
// How many requests on this module's display connection have failed so far.
unsigned long nativeErrors();

}  // namespace gdi
}  // namespace platform
