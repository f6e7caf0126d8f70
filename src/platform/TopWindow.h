// A top-level window of the desktop for a program that shows the editor on
// its own (no host window to sit in). On X11 it is a window of its own
// display connection; the editor is opened into it as into a host's parent.
#pragma once

#include <cstdint>
#include <memory>

namespace platform {

class TopWindow {
public:
    // Null without a display to show it on.
    static std::unique_ptr<TopWindow> create(const char* title, int width, int height);
    virtual ~TopWindow() = default;
    // The native handle an editor is opened into (an X11 window id).
    virtual uintptr_t handle() const = 0;
    // Maps the window once the editor sits in it.
    virtual void show() = 0;
    // Takes the window's pending events; true once the user asked to close it.
    virtual bool closeRequested() = 0;
};

}  // namespace platform
