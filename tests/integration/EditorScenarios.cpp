// The editor through the editor opcodes, as a host opens it: in a real
// parent window on Windows, off-screen (no parent) on Linux.
#if defined(_WIN32)
#include <windows.h>

#include "support/HostFrame.h"
#endif

#include "integration/Plugin.h"
#include "support/MiniTest.h"

using scenario::Instance;

namespace {

#if defined(_WIN32)
// A host's editor frame.
struct Parent : testhost::HostFrame {
    void* handle() const { return hwnd; }
    bool hasChild() const { return child() != nullptr; }
};
#else
struct Parent {
    void* handle() const { return nullptr; }  // off-screen
    bool hasChild() const { return true; }
};
#endif

}  // namespace

TEST_CASE(EditorRectOpenIdleAndClose) {
    Instance plugin;
    ERect* rect = nullptr;
    CHECK_EQ(plugin.dispatch(effEditGetRect, 0, 0, &rect), 1);
    if (!CHECK(rect != nullptr)) return;
    CHECK_EQ(rect->top, 0);
    CHECK_EQ(rect->left, 0);
    CHECK_EQ(rect->bottom, 400);
    CHECK_EQ(rect->right, 670);

    Parent parent;
    for (int round = 0; round < 2; round++) {
        CHECK_EQ(plugin.dispatch(effEditOpen, 0, 0, parent.handle()), 1);
        CHECK(parent.hasChild());
        CHECK_EQ(plugin.dispatch(effEditIdle), 0);
        CHECK_EQ(plugin.dispatch(effEditClose), 0);
#if defined(_WIN32)
        CHECK(!parent.hasChild());
#endif
    }
    // A host that closes the plug-in with its editor open.
    CHECK_EQ(plugin.dispatch(effEditOpen, 0, 0, parent.handle()), 1);
    CHECK_EQ(plugin.close(), 1);
}
