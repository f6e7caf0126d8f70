// A minimal VST 2 host for tests: loads a plug-in binary by path, finds its
// entry by name as hosts do, and records every call of the host callback.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vst/aeffect.h"

namespace testhost {

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    bool effectWasNull;
};

// Answer to audioMasterVersion; 0 makes the entry refuse to create anything.
extern VstIntPtr versionAnswer;
extern std::vector<HostCall> calls;

VstIntPtr VSTCALL hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);

class Library {
public:
    explicit Library(const std::string& path);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    bool loaded() const { return handle != nullptr; }
    void* symbol(const char* name) const;

private:
    void* handle = nullptr;
};

typedef AEffect*(VSTCALL* EntryProc)(audioMasterCallback);

// The entry as a host finds it: VSTPluginMain, then main.
EntryProc findEntry(const Library& library);

inline VstIntPtr dispatch(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

}  // namespace testhost
