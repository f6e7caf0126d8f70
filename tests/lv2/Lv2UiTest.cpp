// The editor as an LV2 UI inside a host's X11 window: run under Xvfb
// (skipped without a display). The test plays the host: it owns the parent
// window and passes the plug-in instance by instance access.
#include <gtest/gtest.h>
// After GoogleTest, whose names Xlib's macros (None) would replace.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include "lv2/Lv2Host.h"

using namespace lv2test;

namespace {

struct Resize {
    int width = 0, height = 0, calls = 0;
    LV2UI_Resize feature = {this, [](LV2UI_Feature_Handle h, int w, int hgt) {
                                Resize* self = static_cast<Resize*>(h);
                                self->width = w;
                                self->height = hgt;
                                self->calls++;
                                return 0;
                            }};
};

class Lv2Ui : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(plugin.ok());
        library = dlopen(KZ_LV2_BUNDLE "/kz318-lv2.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        ASSERT_NE(descriptor, nullptr);
        EXPECT_STREQ(descriptor->URI, "urn:morvantic:kz318#ui");
        EXPECT_EQ(entry(1), nullptr);
        display = XOpenDisplay(nullptr);
        if (!display) GTEST_SKIP() << "no X display";
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 700, 420, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
    }
    void TearDown() override {
        if (display) {
            if (parent) XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
        if (library) dlclose(library);
    }

    LV2UI_Handle open(const std::vector<const LV2_Feature*>& given, LV2UI_Widget* widget) {
        std::vector<const LV2_Feature*> features = given;
        features.push_back(nullptr);
        return descriptor->instantiate(descriptor, kPluginUri, KZ_LV2_BUNDLE, nullptr, nullptr, widget,
                                       features.data());
    }

    std::vector<::Window> children() {
        ::Window root, up, *list = nullptr;
        unsigned count = 0;
        XQueryTree(display, parent, &root, &up, &list, &count);
        std::vector<::Window> all(list, list + count);
        if (list) XFree(list);
        return all;
    }

    Lv2Plugin plugin{KZ_LV2_BUNDLE, 44100.0};
    void* library = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    Display* display = nullptr;
    ::Window parent = 0;
};

TEST_F(Lv2Ui, DeclinesWithoutInstanceAccessOrParent) {
    LV2_Feature parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(uintptr_t(parent))};
    LV2_Feature access = {LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(plugin.lilvInstance())};
    LV2UI_Widget widget = nullptr;
    EXPECT_EQ(open({&parentFeature}, &widget), nullptr);
    EXPECT_EQ(open({&access}, &widget), nullptr);
    EXPECT_EQ(open({}, &widget), nullptr);
    XSync(display, False);
    EXPECT_TRUE(children().empty());
}

// A host may ask again, say for a floating window it cannot give; the answer
// is no, and the editor already open in the first UI stays as it is.
TEST_F(Lv2Ui, ASecondUiWithoutAParentLeavesTheFirstOpen) {
    LV2_Feature parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(uintptr_t(parent))};
    LV2_Feature access = {LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(plugin.lilvInstance())};
    LV2UI_Widget widget = nullptr, second = nullptr;
    LV2UI_Handle ui = open({&parentFeature, &access}, &widget);
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(open({&access}, &second), nullptr);
    EXPECT_EQ(second, nullptr);
    auto idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    EXPECT_EQ(idle->idle(ui), 0);
    XSync(display, False);
    std::vector<::Window> kids = children();
    ASSERT_EQ(kids.size(), 1u);
    EXPECT_EQ(uintptr_t(kids[0]), reinterpret_cast<uintptr_t>(widget));
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(display, kids[0], &a));
    EXPECT_EQ(a.map_state, IsViewable);
    descriptor->cleanup(ui);
    XSync(display, False);
    EXPECT_TRUE(children().empty());
}

TEST_F(Lv2Ui, OpensInTheParentAsItsWidgetIdlesAndCloses) {
    Resize resize;
    LV2_Feature parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(uintptr_t(parent))};
    LV2_Feature access = {LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(plugin.lilvInstance())};
    LV2_Feature resizeFeature = {LV2_UI__resize, &resize.feature};
    for (int round = 0; round < 2; round++) {
        LV2UI_Widget widget = nullptr;
        LV2UI_Handle ui = open({&parentFeature, &access, &resizeFeature}, &widget);
        ASSERT_NE(ui, nullptr);
        XSync(display, False);
        std::vector<::Window> kids = children();
        ASSERT_EQ(kids.size(), 1u);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(widget), uintptr_t(kids[0]));
        XWindowAttributes a;
        XGetWindowAttributes(display, kids[0], &a);
        EXPECT_EQ(resize.width, a.width);
        EXPECT_EQ(resize.height, a.height);
        EXPECT_EQ(resize.calls, round + 1);

        auto idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idle, nullptr);
        EXPECT_EQ(idle->idle(ui), 0);
        // The plug-in keeps playing while its editor is open.
        Block out(64);
        plugin.run(out, {noteOn(0, 36)});
        EXPECT_EQ(idle->idle(ui), 0);

        descriptor->cleanup(ui);
        XSync(display, False);
        EXPECT_TRUE(children().empty());
    }
    EXPECT_EQ(descriptor->extension_data("urn:morvantic:kz318#nothing"), nullptr);
}

}  // namespace
