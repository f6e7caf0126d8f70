// platform::gdi::nativeChildOf on real windows, run under Wine: a face that
// embeds by window id hands its host the editor's own window inside the
// host's frame, and nothing where the frame holds no editor.
#include <windows.h>

#include <cstdint>

#include "face/Face.h"
#include "platform/Gdi.h"
#include "support/HostFrame.h"
#include "support/MiniTest.h"

namespace {

// A host's editor frame.
struct Frame : testhost::HostFrame {
    Frame() : HostFrame(false) {}
    uintptr_t id() const { return reinterpret_cast<uintptr_t>(hwnd); }
};

}  // namespace

TEST_CASE(TheEditorsWindowIsTheOneChildOfItsFrame) {
    Frame frame, other;
    if (!CHECK(frame.hwnd && other.hwnd)) return;
    // A window of another module in the other frame is no editor.
    HWND foreign = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, other.hwnd, nullptr, nullptr, nullptr);
    CHECK(foreign != nullptr);
    face::HostInfo info;
    AEffect* effect = face::openPlugin(info);
    if (!CHECK(effect != nullptr)) return;
    CHECK_EQ(platform::gdi::nativeChildOf(frame.id()), uintptr_t(0));
    CHECK_EQ(face::dispatch(effect, effEditOpen, 0, 0, frame.hwnd), VstIntPtr(1));
    const HWND child = reinterpret_cast<HWND>(platform::gdi::nativeChildOf(frame.id()));
    if (CHECK(child != nullptr)) {
        CHECK(GetParent(child) == frame.hwnd);
        RECT client = {};
        GetClientRect(child, &client);
        CHECK_EQ(client.right - client.left, 670L);
        CHECK_EQ(client.bottom - client.top, 400L);
    }
    CHECK_EQ(platform::gdi::nativeChildOf(other.id()), uintptr_t(0));
    CHECK_EQ(platform::gdi::nativeChildOf(0), uintptr_t(0));
    face::dispatch(effect, effEditClose);
    CHECK_EQ(platform::gdi::nativeChildOf(frame.id()), uintptr_t(0));
    face::closePlugin(effect);
}

namespace {

void countTick(void* count) { ++*static_cast<int*>(count); }

}  // namespace

// The editor's idle where the host has no timer: ticks through the thread's
// message loop, each timer its own context, none after it is stopped.
TEST_CASE(IdleTimersTickUntilStopped) {
    int first = 0, second = 0;
    const uintptr_t a = platform::gdi::startIdleTimer(countTick, &first, 20);
    const uintptr_t b = platform::gdi::startIdleTimer(countTick, &second, 20);
    if (!CHECK(a != 0 && b != 0 && a != b)) return;
    testhost::pumpMessagesFor(300);
    CHECK(first >= 2);
    CHECK(second >= 2);
    platform::gdi::stopIdleTimer(a);
    const int stopped = first;
    testhost::pumpMessagesFor(150);
    CHECK_EQ(first, stopped);
    CHECK(second > 2);
    platform::gdi::stopIdleTimer(b);
    CHECK_EQ(platform::gdi::startIdleTimer(nullptr, nullptr, 20), uintptr_t(0));
}

int main(int argc, char** argv) { return minitest::runAll(argc > 1 ? argv[1] : ""); }
