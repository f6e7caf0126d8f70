// A host that uses fontconfig itself, as a toolkit does: it keeps a reference
// to the current configuration, loads the plug-in, shows its editor (which
// draws text), unloads it, goes on matching fonts and shuts fontconfig down
// at exit. Fontconfig asserts at that shutdown when anything is left holding
// its caches, and the host's configuration must survive the plug-in.
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <string>

#include "pluginhost/PluginLoader.h"

namespace {

VstIntPtr VSTCALL hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

std::string matchFile(FcConfig* config, const char* family) {
    std::string file;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

// Loads the plug-in, opens its editor, calls whileOpen, closes and unloads.
void showEditorOnce(void (*whileOpen)() = [] {}) {
    vsthost::Library library(KZ_PLUGIN);
    ASSERT_TRUE(library.loaded()) << library.error();
    vsthost::EntryProc entry = vsthost::findEntry(library);
    ASSERT_NE(entry, nullptr);
    AEffect* fx = entry(hostCallback);
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(vsthost::dispatch(fx, effEditOpen), 1);  // off-screen
    vsthost::dispatch(fx, effEditIdle);
    whileOpen();
    vsthost::dispatch(fx, effEditClose);
    vsthost::dispatch(fx, effClose);
}

TEST(FontHost, PluginLeavesTheHostsFontconfigWorkingThroughUnloadAndShutdown) {
    ASSERT_TRUE(FcInit());
    FcConfig* config = FcConfigReference(nullptr);
    ASSERT_NE(config, nullptr);
    std::string before = matchFile(config, "Arial");
    ASSERT_FALSE(before.empty());

    for (int round = 0; round < 2; round++) {
        showEditorOnce();
        // Really gone, so whatever it releases at unload has been released.
        EXPECT_EQ(dlopen(KZ_PLUGIN, RTLD_NOW | RTLD_NOLOAD), nullptr);
        EXPECT_EQ(FcConfigGetCurrent(), config);
        EXPECT_EQ(matchFile(config, "Arial"), before);
    }

    FcConfigDestroy(config);
    FcFini();
}

TEST(FontHost, HostMayShutFontconfigDownWhileTheEditorIsOpen) {
    ASSERT_TRUE(FcInit());
    showEditorOnce([] { FcFini(); });
    ASSERT_TRUE(FcInit());
    EXPECT_FALSE(matchFile(nullptr, "Arial").empty());
    FcFini();
}

}  // namespace
