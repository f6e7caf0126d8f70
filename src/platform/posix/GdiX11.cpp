// GDI stand-in: windows shown inside a host's X11 editor window. Each gets
// an X11 child window of the parent and an image in the parent's visual;
// the host's editor idle calls pump this module's own display connection.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <vector>

#include "platform/Gdi.h"
#include "platform/posix/GdiNative.h"

namespace platform {
namespace gdi {

struct NativeView {
    HWND window;
    ::Window xid;
    GC gc;
    XImage* image;
    int redShift, greenShift, blueShift;
};

namespace {

// One connection for every view of the process, open while views exist.
struct Connection {
    Display* display = nullptr;
    std::vector<NativeView*> views;
};

Connection& connection() {
    static Connection c;
    return c;
}

bool trapped = false;
int trapError(Display*, XErrorEvent*) {
    trapped = true;
    return 0;
}

// Turns the X errors of a few calls into a result instead of the default
// handler's exit, and gives the host its handler back afterwards.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display(display) {
        XSync(display, False);
        trapped = false;
        previous = XSetErrorHandler(trapError);
    }
    ~ErrorTrap() {
        XSync(display, False);
        XSetErrorHandler(previous);
    }
    bool ok() {
        XSync(display, False);
        return !trapped;
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

private:
    Display* display;
    int (*previous)(Display*, XErrorEvent*);
};

int shiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

void closeIfUnused() {
    Connection& c = connection();
    if (c.views.empty() && c.display) {
        XCloseDisplay(c.display);
        c.display = nullptr;
    }
}

// A 32-bit true-colour image in the window's visual, in this machine's byte
// order (the server swaps when its own differs).
XImage* makeImage(Display* display, const XWindowAttributes& attributes, int width, int height) {
    Visual* visual = attributes.visual;
    if (!visual || visual->c_class != TrueColor || attributes.depth < 24) return nullptr;
    char* data = static_cast<char*>(std::calloc(size_t(width) * height, 4));
    if (!data) return nullptr;
    XImage* image = XCreateImage(display, visual, attributes.depth, ZPixmap, 0, data, width, height, 32, 0);
    if (!image) {
        std::free(data);
        return nullptr;
    }
    if (image->bits_per_pixel != 32) {
        XDestroyImage(image);
        return nullptr;
    }
    const uint16_t probe = 1;
    image->byte_order = *reinterpret_cast<const uint8_t*>(&probe) ? LSBFirst : MSBFirst;
    return image;
}

NativeView* viewOf(::Window xid) {
    for (NativeView* v : connection().views)
        if (v->xid == xid) return v;
    return nullptr;
}

}  // namespace

NativeView* attachNative(HWND window, uintptr_t parent, int width, int height) {
    Connection& c = connection();
    if (!c.display) c.display = XOpenDisplay(nullptr);
    if (!c.display) return nullptr;
    Display* d = c.display;
    NativeView* view = nullptr;
    {
        ErrorTrap trap(d);
        XWindowAttributes attributes;
        if (XGetWindowAttributes(d, parent, &attributes) && trap.ok()) {
            XImage* image = makeImage(d, attributes, width, height);
            ::Window xid = image ? XCreateSimpleWindow(d, parent, 0, 0, width, height, 0, 0, 0) : 0;
            if (xid && trap.ok()) {
                XSelectInput(d, xid, ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask);
                GC gc = XCreateGC(d, xid, 0, nullptr);
                XMapWindow(d, xid);
                view = new NativeView{window, xid, gc, image, shiftOf(image->red_mask), shiftOf(image->green_mask),
                                      shiftOf(image->blue_mask)};
            } else if (image) {
                XDestroyImage(image);
            }
        }
    }
    if (view) {
        c.views.push_back(view);
        XFlush(d);
    } else {
        closeIfUnused();
    }
    return view;
}

void detachNative(NativeView* view) {
    Connection& c = connection();
    if (!view || !c.display) return;
    {
        // The host may have destroyed the parent, and our window with it.
        ErrorTrap trap(c.display);
        XFreeGC(c.display, view->gc);
        XDestroyWindow(c.display, view->xid);
    }
    XDestroyImage(view->image);
    for (size_t i = 0; i < c.views.size(); i++)
        if (c.views[i] == view) c.views.erase(c.views.begin() + long(i));
    delete view;
    closeIfUnused();
}

void presentNative(NativeView* view, const Bitmap& image) {
    Display* d = connection().display;
    if (!view || !d) return;
    XImage* out = view->image;
    int width = image.width < out->width ? image.width : out->width;
    int height = image.height < out->height ? image.height : out->height;
    for (int y = 0; y < height; y++) {
        const COLORREF* src = image.pixels.data() + size_t(y) * image.width;
        uint32_t* dst = reinterpret_cast<uint32_t*>(out->data + size_t(y) * out->bytes_per_line);
        for (int x = 0; x < width; x++)
            dst[x] = uint32_t(GetRValue(src[x])) << view->redShift | uint32_t(GetGValue(src[x])) << view->greenShift |
                     uint32_t(GetBValue(src[x])) << view->blueShift;
    }
    XPutImage(d, view->xid, view->gc, out, 0, 0, 0, 0, unsigned(width), unsigned(height));
    XFlush(d);
}

void pumpEvents() {
    for (;;) {
        // One event at a time: a handler may open or close windows.
        HWND target = nullptr;
        XEvent event;
        {
            std::lock_guard<std::recursive_mutex> guard(lock());
            Display* d = connection().display;
            if (!d || !XPending(d)) return;
            XNextEvent(d, &event);
            NativeView* view = viewOf(event.xany.window);
            if (!view) continue;
            target = view->window;
        }
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) SendMessageA(target, WM_PAINT, 0, 0);
                break;
            case ButtonPress:
            case ButtonRelease:
                if (event.xbutton.button != Button1 || !IsWindowEnabled(target)) break;
                SendMessageA(target, event.type == ButtonPress ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                             event.type == ButtonPress ? MK_LBUTTON : 0, MAKELPARAM(event.xbutton.x, event.xbutton.y));
                break;
            case MotionNotify:
                if (!IsWindowEnabled(target)) break;
                SendMessageA(target, WM_MOUSEMOVE, (event.xmotion.state & Button1Mask) ? MK_LBUTTON : 0,
                             MAKELPARAM(event.xmotion.x, event.xmotion.y));
                break;
        }
    }
}

}  // namespace gdi
}  // namespace platform
