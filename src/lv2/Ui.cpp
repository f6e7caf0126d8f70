// The instrument's own editor as an LV2 UI. It needs the plug-in instance
// (instance access) and the host's parent window; it drives the editor
// through the effect record's editor requests, as a VST 2 host does.
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <new>

#include "lv2/Instance.h"
#include "platform/Gdi.h"

namespace lv2face {

namespace {

struct Ui {
    AEffect* effect;
};

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (int i = 0; features && features[i]; i++)
        if (std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
    return nullptr;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function,
                         LV2UI_Controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    const Instance* instance = static_cast<const Instance*>(feature(features, LV2_INSTANCE_ACCESS_URI));
    void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
    const LV2UI_Resize* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize));
    if (!instance || !parent || !widget || std::strcmp(pluginUri, kPluginUri) != 0) return nullptr;
    AEffect* effect = instance->effect;
    if (!(effect->flags & effFlagsHasEditor)) return nullptr;
    ERect* rect = nullptr;
    if (!face::openEditor(effect, parent, &rect)) return nullptr;
    Ui* ui = new (std::nothrow) Ui{effect};
    const uintptr_t child = platform::gdi::nativeChildOf(reinterpret_cast<uintptr_t>(parent));
    if (!ui || !child) {
        dispatch(effect, effEditClose);
        delete ui;
        return nullptr;
    }
    *widget = reinterpret_cast<LV2UI_Widget>(child);
    if (resize && rect) resize->ui_resize(resize->handle, rect->right - rect->left, rect->bottom - rect->top);
    return ui;
}

void cleanup(LV2UI_Handle handle) {
    Ui* ui = static_cast<Ui*>(handle);
    dispatch(ui->effect, effEditClose);
    delete ui;
}

int idle(LV2UI_Handle handle) {
    dispatch(static_cast<Ui*>(handle)->effect, effEditIdle);
    return 0;
}

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) { return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdle : nullptr; }

const LV2UI_Descriptor kDescriptor = {kUiUri, instantiate, cleanup, nullptr, extensionData};

}  // namespace

}  // namespace lv2face

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &lv2face::kDescriptor : nullptr;
}
