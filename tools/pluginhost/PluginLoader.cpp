#include "pluginhost/PluginLoader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace vsthost {

#if defined(_WIN32)
Library::Library(const std::string& path) {
    handle = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
    if (!handle) why = "Windows error " + std::to_string(GetLastError());
}
Library::~Library() {
    if (handle) FreeLibrary(reinterpret_cast<HMODULE>(handle));
}
void* Library::symbol(const char* name) const {
    return handle ? reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name)) : nullptr;
}
#else
Library::Library(const std::string& path) {
    // dlopen searches the library path for names without a slash.
    std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* e = dlerror();
        why = e ? e : "unknown error";
    }
}
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

}  // namespace vsthost
