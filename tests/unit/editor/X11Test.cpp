// The editor inside a host's X11 window: run under Xvfb (skipped without a
// display). The test plays the host: it owns the parent window, pumps the
// editor through idle and sends button events to the editor's window.
#include <gtest/gtest.h>
// After GoogleTest, whose names Xlib's macros (None) would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <thread>

#include "editor/InstrumentEditor.h"
#include "instrument/DrumInstrument.h"
#include "support/EditedInstrument.h"
#include "platform/posix/GdiNative.h"
#include "support/FakeServices.h"

using namespace editor;

namespace {

class X11Editor : public ::testing::Test {
protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        if (!display) GTEST_SKIP() << "no X display";
        parent = makeParent();
        ui = static_cast<InstrumentEditor*>(instrument.padEditor());
    }
    void TearDown() override {
        if (!display) return;
        ui->close();
        if (parent) XDestroyWindow(display, parent);
        XCloseDisplay(display);
    }

    ::Window makeParent() {
        ::Window w = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 700, 420, 0, 0, 0);
        XMapWindow(display, w);
        XSync(display, False);
        return w;
    }

    int open() { return ui->open(reinterpret_cast<void*>(uintptr_t(parent))); }

    // The host destroys its editor frame, and the editor's window with it,
    // while the editor is open.
    ::Window destroyParent() {
        ::Window gone = parent;
        XDestroyWindow(display, parent);
        XSync(display, False);
        parent = 0;
        return gone;
    }

    // With the editor's exposure still queued, and drawing once more.
    ::Window destroyParentUnderTheEditor() {
        ::Window gone = destroyParent();
        ui->idle();
        ui->refreshFromPads();
        ui->idle();
        return gone;
    }

    std::vector<::Window> children() {
        ::Window root, up, *list = nullptr;
        unsigned count = 0;
        XQueryTree(display, parent, &root, &up, &list, &count);
        std::vector<::Window> all(list, list + count);
        if (list) XFree(list);
        return all;
    }

    void sendButton(::Window to, int type, int x, int y) {
        XEvent e = {};
        e.xbutton.type = type;
        e.xbutton.display = display;
        e.xbutton.window = to;
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = Button1;
        e.xbutton.same_screen = True;
        XSendEvent(display, to, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
        XSync(display, False);
    }

    void sendMotion(::Window to, int x, int y) {
        XEvent e = {};
        e.xmotion.type = MotionNotify;
        e.xmotion.display = display;
        e.xmotion.window = to;
        e.xmotion.x = x;
        e.xmotion.y = y;
        e.xmotion.state = Button1Mask;
        e.xmotion.same_screen = True;
        XSendEvent(display, to, False, PointerMotionMask, &e);
        XSync(display, False);
    }

    Display* display = nullptr;
    ::Window parent = 0;
    testsupport::ScopedFakeServices services;
    testsupport::EditedInstrument instrument{nullptr};
    InstrumentEditor* ui = nullptr;
};

TEST_F(X11Editor, OpensAsAChildShowingTheImageAndCloses) {
    for (int round = 0; round < 2; round++) {
        ASSERT_EQ(open(), 1);
        std::vector<::Window> kids = children();
        ASSERT_EQ(kids.size(), 1u);
        XWindowAttributes a;
        XGetWindowAttributes(display, kids[0], &a);
        EXPECT_EQ(a.width, 670);
        EXPECT_EQ(a.height, 400);
        XSync(display, False);
        ui->idle();  // the exposure repaints
        XImage* shown = XGetImage(display, kids[0], 0, 0, 670, 400, AllPlanes, ZPixmap);
        ASSERT_NE(shown, nullptr);
        HDC dc = GetDC(ui->m_hWnd);
        int wrong = 0;
        for (int y = 0; y < 400; y += 7)
            for (int x = 0; x < 670; x += 5) {
                COLORREF c = GetPixel(dc, x, y);
                unsigned long want = (unsigned long)GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
                wrong += (XGetPixel(shown, x, y) & 0xFFFFFF) != want;
            }
        ReleaseDC(ui->m_hWnd, dc);
        XDestroyImage(shown);
        EXPECT_EQ(wrong, 0);
        ui->close();
        XSync(display, False);
        EXPECT_TRUE(children().empty());
    }
}

TEST_F(X11Editor, ButtonAndMotionEventsReachTheControls) {
    ASSERT_EQ(open(), 1);
    ::Window child = children().at(0);
    sendButton(child, ButtonPress, 300, 20);  // IMPORT
    sendButton(child, ButtonRelease, 300, 20);
    ui->idle();
    EXPECT_EQ(services.dialogs.size(), 1u);

    int x, y, w, h;
    ui->control(kPanKnob + 2)->GetRegion(&x, &y, &w, &h);
    sendButton(child, ButtonPress, x + w / 2, y + h / 2);
    sendMotion(child, x + w / 2, y + h / 2 - 8);
    sendButton(child, ButtonRelease, x + w / 2, y + h / 2 - 8);
    ui->idle();
    EXPECT_GT(instrument.pads[2].pan, 0.5f);
    EXPECT_EQ(ui->m_captured, -1);
}

TEST_F(X11Editor, ParentThatIsNoWindowLeavesTheEditorOffScreen) {
    ASSERT_EQ(ui->open(reinterpret_cast<void*>(uintptr_t(0x7ffffff0))), 1);
    EXPECT_NE(ui->m_hWnd, nullptr);
    ui->idle();
}

// Stands for a host toolkit's error handler: counts the errors of the host's
// displays and notes any error of a display that is not the host's.
std::atomic<Display*> hostDisplays[2];
std::atomic<int> hostErrors{0};
std::atomic<bool> foreignError{false};

int hostHandler(Display* d, XErrorEvent*) {
    if (d == hostDisplays[0] || d == hostDisplays[1])
        hostErrors++;
    else
        foreignError = true;
    return 0;
}

TEST_F(X11Editor, ParentDestroyedBeforeCloseLeavesTheHostRunning) {
    // Xlib's default handler, which ends the process, stays the host's.
    ASSERT_EQ(open(), 1);
    destroyParentUnderTheEditor();
    ui->close();
    parent = makeParent();
    ASSERT_EQ(open(), 1);
    ASSERT_EQ(children().size(), 1u);
    ui->idle();
}

TEST_F(X11Editor, NothingIsDrawnOnceTheParentIsGone) {
    ASSERT_EQ(open(), 1);
    ui->idle();
    destroyParent();
    unsigned long before = platform::gdi::nativeErrors();
    ui->idle();  // learns of the destruction
    ui->refreshFromPads();
    ui->idle();
    ui->close();
    EXPECT_EQ(platform::gdi::nativeErrors(), before);
}

TEST_F(X11Editor, AFailedDrawStopsTheNextOnes) {
    ASSERT_EQ(open(), 1);
    ui->idle();
    destroyParent();
    unsigned long before = platform::gdi::nativeErrors();
    ui->refreshFromPads();  // before the destruction is known
    unsigned long failed = platform::gdi::nativeErrors();
    EXPECT_GT(failed, before);
    ui->refreshFromPads();
    ui->close();
    EXPECT_EQ(platform::gdi::nativeErrors(), failed);
}

TEST_F(X11Editor, HostErrorHandlerGetsItsOwnErrorsOnlyAndStaysInstalled) {
    hostDisplays[0] = display;
    hostErrors = 0;
    foreignError = false;
    XErrorHandler before = XSetErrorHandler(hostHandler);
    ASSERT_EQ(open(), 1);
    ::Window gone = destroyParentUnderTheEditor();
    XMapWindow(display, gone);  // the host's own mistake
    XSync(display, False);
    EXPECT_EQ(hostErrors, 1);
    EXPECT_FALSE(foreignError);
    ui->close();
    EXPECT_EQ(XSetErrorHandler(before), hostHandler);
    hostDisplays[0] = nullptr;
}

TEST_F(X11Editor, HostErrorsOnAnotherThreadReachTheHostWhileTheEditorDraws) {
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    hostDisplays[0] = display;
    hostDisplays[1] = other;
    hostErrors = 0;
    foreignError = false;
    XErrorHandler before = XSetErrorHandler(hostHandler);
    ASSERT_EQ(open(), 1);
    ::Window stale = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(other, stale);
    std::atomic<bool> drawing{true};
    int made = 0;
    std::thread host([&] {
        while (drawing) {
            XMapWindow(other, stale);
            XSync(other, False);
            made++;
        }
    });
    for (int i = 0; i < 200; i++) {
        ui->refreshFromPads();
        ui->idle();
    }
    destroyParentUnderTheEditor();
    drawing = false;
    host.join();
    EXPECT_GT(made, 0);
    EXPECT_EQ(hostErrors, made);
    EXPECT_FALSE(foreignError);
    ui->close();
    XSetErrorHandler(before);
    XCloseDisplay(other);
    hostDisplays[0] = hostDisplays[1] = nullptr;
}

}  // namespace
