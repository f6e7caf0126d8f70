// The test's hands on the X display kz318-live shows its editor on: finding
// the window, clicking into the editor, closing the window as the desktop's
// close button does.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace livetest {

class Desktop {
public:
    Desktop() : display(XOpenDisplay(nullptr)) {}
    ~Desktop() {
        if (display) XCloseDisplay(display);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
    bool ok() const { return display != nullptr; }
    // A top-level window with this title, waiting up to `seconds`; 0 if none.
    Window find(const std::string& title, int seconds = 20);
    bool size(Window window, int& width, int& height);
    // A left click at (x, y) of the window's first child (the editor).
    bool clickEditor(Window window, int x, int y);
    // What the window manager sends when the user closes the window.
    void close(Window window);

private:
    Display* display;
};

}  // namespace livetest
