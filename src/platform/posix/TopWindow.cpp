// The top-level window on X11: a fixed-size window with the desktop's close
// button delivered as WM_DELETE_WINDOW instead of the connection dropping.
#include "platform/TopWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

namespace platform {
namespace {

class X11TopWindow : public TopWindow {
public:
    X11TopWindow(Display* display, ::Window window, Atom deleteAtom)
        : display(display), window(window), deleteAtom(deleteAtom) {}
    ~X11TopWindow() override {
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    uintptr_t handle() const override { return window; }
    void show() override {
        XMapRaised(display, window);
        XFlush(display);
    }
    bool closeRequested() override {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteAtom) closing = true;
            if (event.type == DestroyNotify && event.xdestroywindow.window == window) closing = true;
        }
        return closing;
    }

private:
    Display* display;
    ::Window window;
    Atom deleteAtom;
    bool closing = false;
};

void setTitle(Display* d, ::Window w, const char* title) {
    XStoreName(d, w, title);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title), int(std::strlen(title)));
    XClassHint hint;
    char name[] = "kz318-live", cls[] = "KZ318";
    hint.res_name = name;
    hint.res_class = cls;
    XSetClassHint(d, w, &hint);
}

// The editor has one size: the window manager is asked not to offer others.
void fixSize(Display* d, ::Window w, int width, int height) {
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(d, w, hints);
    XFree(hints);
}

}  // namespace

std::unique_ptr<TopWindow> TopWindow::create(const char* title, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return nullptr;
    const ::Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, unsigned(width), unsigned(height), 0, 0,
                                           BlackPixel(d, DefaultScreen(d)));
    setTitle(d, w, title);
    fixSize(d, w, width, height);
    Atom deleteAtom = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &deleteAtom, 1);
    XSelectInput(d, w, StructureNotifyMask);
    // The editor opens its child from a connection of its own: it has to
    // find the window on the server already.
    XSync(d, False);
    return std::unique_ptr<TopWindow>(new X11TopWindow(d, w, deleteAtom));
}

}  // namespace platform
