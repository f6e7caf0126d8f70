#include "support/PluginHost.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace testhost {

VstIntPtr versionAnswer = 2400;
std::vector<HostCall> calls;

VstIntPtr VSTCALL hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float) {
    calls.push_back({opcode, index, value, effect == nullptr});
    if (opcode == audioMasterVersion) return versionAnswer;
    return 0;
}

#if defined(_WIN32)
Library::Library(const std::string& path) { handle = reinterpret_cast<void*>(LoadLibraryA(path.c_str())); }
Library::~Library() {
    if (handle) FreeLibrary(reinterpret_cast<HMODULE>(handle));
}
void* Library::symbol(const char* name) const {
    return handle ? reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name)) : nullptr;
}
#else
Library::Library(const std::string& path) { handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
Library::~Library() {
    if (handle) dlclose(handle);
}
void* Library::symbol(const char* name) const { return handle ? dlsym(handle, name) : nullptr; }
#endif

EntryProc findEntry(const Library& library) {
    void* entry = library.symbol("VSTPluginMain");
    if (!entry) entry = library.symbol("main");
    return reinterpret_cast<EntryProc>(entry);
}

}  // namespace testhost
