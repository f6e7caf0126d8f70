// Loads a VST 2 plug-in binary and finds its entry the way hosts do. Shared
// by the command-line tools and the tests.
#pragma once

#include <string>

#include "vst/Dispatch.h"
#include "vst/aeffect.h"

namespace vsthost {

class Library {
public:
    explicit Library(const std::string& path);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    bool loaded() const { return handle != nullptr; }
    // Why loading failed, as the system said it.
    const std::string& error() const { return why; }
    void* symbol(const char* name) const;

private:
    void* handle = nullptr;
    std::string why;
};

typedef AEffect*(VSTCALL* EntryProc)(audioMasterCallback);

// The entry: VSTPluginMain first, then main.
EntryProc findEntry(const Library& library);

using vst::dispatch;

}  // namespace vsthost
