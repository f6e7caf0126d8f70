// The editor view in an X11 window on a virtual display, idled through the
// frame's run loop as a Linux host does.
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "support/MiniTest.h"
#include "vst3/Context.h"

using namespace vst3;
using namespace vst3test;

namespace {

struct Timer {
    ITimerHandler* handler;
    uint64_t milliseconds;
};

class Frame : public IPlugFrame, public IRunLoop {
public:
    std::vector<Timer> timers;
    int resizes = 0;

    tresult VST3CALL queryInterface(const TUID id, void** obj) override {
        *obj = nullptr;
        if (sameUid(id, iid::FUnknown) || sameUid(id, iid::IPlugFrame))
            *obj = static_cast<IPlugFrame*>(this);
        else if (sameUid(id, iid::IRunLoop))
            *obj = static_cast<IRunLoop*>(this);
        return *obj ? kResultOk : kNoInterface;
    }
    uint32_t VST3CALL addRef() override { return 1; }
    uint32_t VST3CALL release() override { return 1; }
    tresult VST3CALL resizeView(IPlugView*, ViewRect*) override {
        resizes++;
        return kResultOk;
    }
    tresult VST3CALL registerEventHandler(IEventHandler*, int) override { return kResultOk; }
    tresult VST3CALL unregisterEventHandler(IEventHandler*) override { return kResultOk; }
    tresult VST3CALL registerTimer(ITimerHandler* handler, uint64_t ms) override {
        timers.push_back({handler, ms});
        return kResultOk;
    }
    tresult VST3CALL unregisterTimer(ITimerHandler* handler) override {
        timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == handler; }),
                     timers.end());
        return kResultOk;
    }
    void tick(int times) {
        for (int i = 0; i < times; i++)
            for (Timer t : timers) t.handler->onTimer();
    }
};

class FrameWithoutLoop : public Unowned<IPlugFrame> {
public:
    tresult VST3CALL resizeView(IPlugView*, ViewRect*) override { return kResultOk; }
};

// One connection for the whole run, as a host keeps: a virtual X server
// resets when its last client leaves, and refuses connections meanwhile.
Display* hostDisplay() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

struct HostWindow {
    Display* display = hostDisplay();
    Window window = 0;
    HostWindow() {
        if (!display) return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 670, 400, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~HostWindow() {
        if (!display) return;
        XDestroyWindow(display, window);
        XSync(display, False);
    }
    void* parent() const { return reinterpret_cast<void*>(window); }
    // Children of the window, waiting a little for the plug-in's connection.
    unsigned children(bool wanted) const {
        unsigned count = 0;
        for (int tries = 0; tries < 50; tries++) {
            Window root, parentWindow, *list = nullptr;
            XSync(display, False);
            XQueryTree(display, window, &root, &parentWindow, &list, &count);
            if (list) XFree(list);
            if ((count > 0) == wanted) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return count;
    }
};

IPlugView* editorView(Instance& in) { return in.controller->createView(kEditorView); }

}  // namespace

TEST_CASE(ViewEmbedsTheEditorInAnX11Window) {
    HostWindow host;
    Instance in(module(), kRate, 512);
    if (!CHECK(host.display) || !CHECK(in.ok())) return;
    CHECK(in.controller->createView("other") == nullptr);
    IPlugView* view = editorView(in);
    if (!CHECK(view)) return;
    CHECK(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) == kResultTrue);
    CHECK(view->isPlatformTypeSupported(kPlatformTypeHWND) != kResultTrue);
    ViewRect size = {};
    CHECK(view->getSize(&size) == kResultOk);
    CHECK_EQ(size.right - size.left, 670);
    CHECK_EQ(size.bottom - size.top, 400);
    CHECK(view->canResize() != kResultTrue);
    ViewRect asked = {10, 10, 900, 900};
    CHECK(view->checkSizeConstraint(&asked) == kResultTrue && asked.right == 680 && asked.bottom == 410);

    // No run loop, no X11 editor.
    CHECK(view->attached(host.parent(), kPlatformTypeX11EmbedWindowID) != kResultOk);
    FrameWithoutLoop bare;
    view->setFrame(&bare);
    CHECK(view->attached(host.parent(), kPlatformTypeX11EmbedWindowID) != kResultOk);
    CHECK_EQ(host.children(false), 0u);

    Frame frame;
    view->setFrame(&frame);
    CHECK(view->attached(host.parent(), kPlatformTypeHWND) != kResultOk);
    if (!CHECK(view->attached(host.parent(), kPlatformTypeX11EmbedWindowID) == kResultOk)) return;
    CHECK(host.children(true) > 0);
    if (CHECK_EQ(frame.timers.size(), size_t(1)))
        CHECK(frame.timers[0].milliseconds >= 10 && frame.timers[0].milliseconds <= 50);
    frame.tick(5);
    CHECK(view->attached(host.parent(), kPlatformTypeX11EmbedWindowID) != kResultOk);
    CHECK(view->removed() == kResultOk);
    CHECK(frame.timers.empty());
    CHECK_EQ(host.children(false), 0u);
    CHECK(view->removed() != kResultOk);
    // Attached again after removal.
    CHECK(view->attached(host.parent(), kPlatformTypeX11EmbedWindowID) == kResultOk);
    CHECK(view->removed() == kResultOk);
    view->setFrame(nullptr);
    CHECK_EQ(view->release(), 0u);
}

TEST_CASE(ViewReleasedWithTheEditorOpen) {
    HostWindow host;
    Instance in(module(), kRate, 512);
    if (!CHECK(host.display) || !CHECK(in.ok())) return;
    Frame frame;
    IPlugView* view = editorView(in);
    if (!CHECK(view)) return;
    view->setFrame(&frame);
    CHECK(view->attached(host.parent(), kPlatformTypeX11EmbedWindowID) == kResultOk);
    frame.tick(2);
    // One editor at a time.
    IPlugView* second = editorView(in);
    if (CHECK(second)) {
        second->setFrame(&frame);
        CHECK(second->attached(host.parent(), kPlatformTypeX11EmbedWindowID) != kResultOk);
        CHECK_EQ(frame.timers.size(), size_t(1));
        second->release();
    }
    CHECK_EQ(view->release(), 0u);
    CHECK(frame.timers.empty());
    CHECK_EQ(host.children(false), 0u);
    // The editor is free for the next view.
    IPlugView* next = editorView(in);
    if (!CHECK(next)) return;
    next->setFrame(&frame);
    CHECK(next->attached(host.parent(), kPlatformTypeX11EmbedWindowID) == kResultOk);
    CHECK(next->removed() == kResultOk);
    next->release();
}

TEST_CASE(ViewOutlivesItsInstance) {
    HostWindow host;
    Frame frame;
    IPlugView* view = nullptr;
    {
        Instance in(module(), kRate, 512);
        if (!CHECK(host.display) || !CHECK(in.ok())) return;
        view = editorView(in);
        if (!CHECK(view)) return;
        view->setFrame(&frame);
        CHECK(view->attached(host.parent(), kPlatformTypeX11EmbedWindowID) == kResultOk);
    }
    CHECK(frame.timers.empty());
    CHECK_EQ(host.children(false), 0u);
    CHECK(view->removed() != kResultOk);
    CHECK_EQ(view->release(), 0u);
}
