#include "live/Desktop.h"

#include <X11/Xutil.h>

#include <cstring>

#include "live/LiveHarness.h"

namespace livetest {

namespace {

Window named(Display* d, const std::string& title) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; i++) {
        char* name = nullptr;
        if (XFetchName(d, children[i], &name) && name) {
            if (title == name) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

Window firstChild(Display* d, Window window) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, window, &root, &parent, &children, &count)) return 0;
    const Window child = count ? children[0] : 0;
    if (children) XFree(children);
    return child;
}

void sendButton(Display* d, Window w, int type, int x, int y) {
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xbutton.type = type;
    e.xbutton.display = d;
    e.xbutton.window = w;
    e.xbutton.root = DefaultRootWindow(d);
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.button = Button1;
    e.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
    e.xbutton.same_screen = True;
    XSendEvent(d, w, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
}

}  // namespace

Window Desktop::find(const std::string& title, int seconds) {
    Window found = 0;
    waitFor([&] { return (found = named(display, title)) != 0; }, seconds * 1000);
    return found;
}

bool Desktop::size(Window window, int& width, int& height) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display, window, &a)) return false;
    width = a.width;
    height = a.height;
    return true;
}

bool Desktop::clickEditor(Window window, int x, int y) {
    // The window is there a moment before the editor opens in it.
    Window editor = 0;
    if (!waitFor([&] { return (editor = firstChild(display, window)) != 0; }, 10000)) return false;
    sendButton(display, editor, ButtonPress, x, y);
    sendButton(display, editor, ButtonRelease, x, y);
    XSync(display, False);
    return true;
}

void Desktop::close(Window window) {
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &e);
    XSync(display, False);
}

}  // namespace livetest
