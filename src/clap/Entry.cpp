// The library's one export: the entry hosts look up by name, its factory and
// the descriptor of the one plug-in it makes.
#include <cstring>

#include "clap/Instance.h"

#if defined(_WIN32)
#define KZ_CLAP_EXPORT __declspec(dllexport)
#else
#define KZ_CLAP_EXPORT __attribute__((visibility("default")))
#endif

namespace clapface {

namespace {

const char* const kFeatures[] = {"instrument", "sampler", "drum-machine", "stereo", nullptr};

const clap::PluginDescriptor kDescriptor = {
    clap::kVersion, kPluginId, "KZ318", "Morvantic", "", "", "", face::kVersion, "A 16-pad drum sample player", kFeatures,
};

uint32_t CLAPCALL pluginCount(const clap::PluginFactory*) { return 1; }

const clap::PluginDescriptor* CLAPCALL pluginDescriptor(const clap::PluginFactory*, uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}

const clap::Plugin* CLAPCALL createPlugin(const clap::PluginFactory*, const clap::Host* host, const char* id) {
    if (!host || !id || std::strcmp(id, kPluginId) != 0) return nullptr;
    return createInstance(host);
}

const clap::PluginFactory kFactory = {pluginCount, pluginDescriptor, createPlugin};

bool CLAPCALL init(const char*) { return true; }
void CLAPCALL deinit() {}

const void* CLAPCALL getFactory(const char* id) {
    return id && std::strcmp(id, clap::kPluginFactoryId) == 0 ? &kFactory : nullptr;
}

}  // namespace

const clap::PluginDescriptor& descriptor() { return kDescriptor; }

}  // namespace clapface

extern "C" KZ_CLAP_EXPORT const clap::PluginEntry clap_entry = {
    clap::kVersion,
    clapface::init,
    clapface::deinit,
    clapface::getFactory,
};
