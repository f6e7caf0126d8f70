// GDI stand-in: windows shown inside a host's X11 editor window. Each gets
// an X11 child window of the parent and an image in the parent's visual;
// the host's editor idle calls pump this module's own display connection.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <cstdlib>
#include <vector>

#include "platform/Gdi.h"
#include "platform/posix/GdiNative.h"

namespace platform {
namespace gdi {

struct NativeView {
    HWND window;
    ::Window parent;
    ::Window xid;
    GC gc;
    XImage* image;
    int redShift, greenShift, blueShift;
    bool gone;  // destroyed with the host's parent: nothing to draw into
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

// X errors. Xlib hands them to one handler for the whole process, and the
// default one ends it; the host may destroy our window with its parent at any
// moment, so requests on our connection can fail. Errors of a connection only
// come in during calls on it, so every call on ours runs inside a Trap, which
// puts our handler in front of the host's for just that time: it keeps the
// errors of our display and passes those of any other display (the host's,
// from another thread) on to the host's handler. Outside traps the host's
// handler is the current one, and no handler installed later can have ours
// below it when the plug-in is unloaded. The trap state is guarded by the
// stand-in's lock; the handler may run on any thread.
std::atomic<Display*> ours{nullptr};
std::atomic<XErrorHandler> hostHandler{nullptr};
std::atomic<unsigned long> errorCount{0};
XErrorHandler displaced = nullptr;  // what the outermost trap gives back
int trapDepth = 0;
bool stranded = false;  // a handler installed over ours may still call ours

int onError(Display* display, XErrorEvent* event) {
    if (display == ours.load()) {
        errorCount++;
        return 0;
    }
    XErrorHandler next = hostHandler.load();
    return next ? next(display, event) : 0;
}

class Trap {
public:
    explicit Trap(Display* display) : display(display), before(errorCount.load()) {
        if (trapDepth++ > 0) return;
        displaced = XSetErrorHandler(onError);
        // A stranded handler of ours may be below the current one: passing
        // errors on to that would come back here.
        if (!stranded && displaced != onError) hostHandler = displaced;
    }
    ~Trap() {
        sync();
        if (--trapDepth > 0) return;
        // Unless someone replaced ours meanwhile: theirs may pass errors on to ours.
        XErrorHandler current = XSetErrorHandler(displaced);
        if (current != onError) {
            XSetErrorHandler(current);
            // The code must outlive the host's unloading of the plug-in.
            stranded = true;
            keepLoaded(reinterpret_cast<const void*>(&onError));
        }
    }
    // Whether a request made since the trap was set failed.
    bool failed() {
        sync();
        return errorCount.load() != before;
    }
    Trap(const Trap&) = delete;
    Trap& operator=(const Trap&) = delete;

private:
    // Only requests the server has not answered yet can still fail.
    void sync() {
        if (display && NextRequest(display) - 1 > LastKnownRequestProcessed(display)) XSync(display, False);
    }
    Display* display;
    unsigned long before;
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
        Trap trap(nullptr);  // closing syncs; the display is gone afterwards
        XCloseDisplay(c.display);
        c.display = nullptr;
        ours = nullptr;
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
    if (!c.display) ours = c.display = XOpenDisplay(nullptr);
    if (!c.display) return nullptr;
    Display* d = c.display;
    NativeView* view = nullptr;
    {
        Trap trap(d);
        XWindowAttributes attributes;
        if (XGetWindowAttributes(d, parent, &attributes) && !trap.failed()) {
            XImage* image = makeImage(d, attributes, width, height);
            ::Window xid = image ? XCreateSimpleWindow(d, parent, 0, 0, width, height, 0, 0, 0) : 0;
            if (xid && !trap.failed()) {
                // StructureNotify tells when the host's parent takes our window with it.
                XSelectInput(
                    d, xid,
                    ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask);
                GC gc = XCreateGC(d, xid, 0, nullptr);
                XMapWindow(d, xid);
                view = new NativeView{window,
                                      parent,
                                      xid,
                                      gc,
                                      image,
                                      shiftOf(image->red_mask),
                                      shiftOf(image->green_mask),
                                      shiftOf(image->blue_mask),
                                      false};
            } else if (image) {
                XDestroyImage(image);
            }
        }
    }
    if (view)
        c.views.push_back(view);
    else
        closeIfUnused();
    return view;
}

void detachNative(NativeView* view) {
    Connection& c = connection();
    if (!view || !c.display) return;
    {
        // The parent may be going away under us even when not gone yet.
        Trap trap(c.display);
        XFreeGC(c.display, view->gc);
        if (!view->gone) XDestroyWindow(c.display, view->xid);
    }
    XDestroyImage(view->image);
    for (size_t i = 0; i < c.views.size(); i++)
        if (c.views[i] == view) c.views.erase(c.views.begin() + long(i));
    delete view;
    closeIfUnused();
}

void presentNative(NativeView* view, const Bitmap& image) {
    Display* d = connection().display;
    if (!view || !d || view->gone) return;
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
    Trap trap(d);
    XPutImage(d, view->xid, view->gc, out, 0, 0, 0, 0, unsigned(width), unsigned(height));
    // Failing here means the window went before its DestroyNotify came in.
    if (trap.failed()) view->gone = true;
}

uintptr_t nativeChildOf(uintptr_t parent) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    for (NativeView* v : connection().views)
        if (v->parent == parent && !v->gone) return v->xid;
    return 0;
}

bool showNativeChild(uintptr_t child, bool shown) {
    std::lock_guard<std::recursive_mutex> guard(lock());
    Display* d = connection().display;
    for (NativeView* v : connection().views) {
        if (v->xid != child || v->gone) continue;
        Trap trap(d);
        if (shown)
            XMapWindow(d, v->xid);
        else
            XUnmapWindow(d, v->xid);
        return !trap.failed();
    }
    return false;
}

// Hosts on X11 idle editors through their own run loops and timers.
uintptr_t startIdleTimer(void (*)(void*), void*, unsigned) { return 0; }
void stopIdleTimer(uintptr_t) {}

unsigned long nativeErrors() { return errorCount.load(); }

void pumpEvents() {
    for (;;) {
        // One event at a time: a handler may open or close windows.
        HWND target = nullptr;
        XEvent event;
        {
            std::lock_guard<std::recursive_mutex> guard(lock());
            Display* d = connection().display;
            if (!d) return;
            Trap trap(d);
            if (!XPending(d)) return;
            XNextEvent(d, &event);
            NativeView* view = viewOf(event.xany.window);
            if (!view) continue;
            if (event.type == DestroyNotify && event.xdestroywindow.window == view->xid) view->gone = true;
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
