// The module's entry: the factory with its one class, and the load and
// unload calls hosts make around it.
#include <new>

#include "host/Export.h"
#include "vst3/ClassId.h"
#include "vst3/Plugin.h"
#include "vst3/Strings.h"

namespace vst3face {

using namespace vst3;

namespace {

const char* const kVendor = "Morvantic";
const char* const kName = "KZ318";
const char* const kSubCategories = "Instrument|Drum|Sampler";
const char* const kSdkVersion = "VST 3.7.7";

template <class Info>
bool fillCommon(int32_t index, Info* info) {
    if (index != 0 || !info) return false;
    for (int i = 0; i < 16; i++) info->cid[i] = kClassId.bytes[i];
    info->cardinality = kManyInstances;
    copyText(info->category, kVstAudioEffectClass);
    copyText(info->name, kName);
    return true;
}

template <class Info>
void fillLater(Info* info) {
    info->classFlags = 0;
    copyText(info->subCategories, kSubCategories);
    copyText(info->vendor, kVendor);
    copyText(info->version, face::kVersion);
    copyText(info->sdkVersion, kSdkVersion);
}

// One factory for the module's lifetime; hosts' references do not own it.
class Factory : public IPluginFactory3 {
public:
    tresult VST3CALL queryInterface(const TUID iid, void** obj) override {
        if (!obj) return kInvalidArgument;
        *obj = nullptr;
        if (!sameUid(iid, iid::FUnknown) && !sameUid(iid, iid::IPluginFactory) && !sameUid(iid, iid::IPluginFactory2) &&
            !sameUid(iid, iid::IPluginFactory3))
            return kNoInterface;
        *obj = static_cast<IPluginFactory3*>(this);
        return kResultOk;
    }
    uint32_t VST3CALL addRef() override { return 1; }
    uint32_t VST3CALL release() override { return 1; }

    tresult VST3CALL getFactoryInfo(PFactoryInfo* info) override {
        if (!info) return kInvalidArgument;
        copyText(info->vendor, kVendor);
        copyText(info->url, "");
        copyText(info->email, "");
        info->flags = PFactoryInfo::kUnicode;
        return kResultOk;
    }
    int32_t VST3CALL countClasses() override { return 1; }
    tresult VST3CALL getClassInfo(int32_t index, PClassInfo* info) override {
        return fillCommon(index, info) ? kResultOk : kInvalidArgument;
    }
    tresult VST3CALL getClassInfo2(int32_t index, PClassInfo2* info) override {
        if (!fillCommon(index, info)) return kInvalidArgument;
        fillLater(info);
        return kResultOk;
    }
    tresult VST3CALL getClassInfoUnicode(int32_t index, PClassInfoW* info) override {
        if (!fillCommon(index, info)) return kInvalidArgument;
        fillLater(info);
        return kResultOk;
    }
    tresult VST3CALL setHostContext(FUnknown*) override { return kResultOk; }

    tresult VST3CALL createInstance(FIDString cid, FIDString iid, void** obj) override {
        if (!obj) return kInvalidArgument;
        *obj = nullptr;
        if (!sameUid(cid, kClassId)) return kNoInterface;
        Plugin* plugin = new (std::nothrow) Plugin;
        if (!plugin) return kOutOfMemory;
        IComponent* component = plugin;
        const tresult r = component->queryInterface(iid, obj);
        component->release();
        return r;
    }
};

Factory factory;

}  // namespace

}  // namespace vst3face

// GetPluginFactory takes no arguments, so the two calling conventions of
// 32-bit Windows are the same call; it is declared without decoration so
// that every platform exports the plain name.
extern "C" KZ_EXPORT vst3::IPluginFactory* GetPluginFactory() { return &vst3face::factory; }

#if defined(_WIN32)
extern "C" KZ_EXPORT bool InitDll() { return true; }
extern "C" KZ_EXPORT bool ExitDll() { return true; }
#else
extern "C" KZ_EXPORT bool ModuleEntry(void*) { return true; }
extern "C" KZ_EXPORT bool ModuleExit() { return true; }
#endif
