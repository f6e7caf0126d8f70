// Test host: the shared plug-in loader plus a host callback that records
// every call.
#pragma once

#include <vector>

#include "pluginhost/PluginLoader.h"

namespace testhost {

using vsthost::dispatch;
using vsthost::EntryProc;
using vsthost::findEntry;
using vsthost::Library;

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    bool effectWasNull;
};

// Answer to audioMasterVersion; 0 makes the entry refuse to create anything.
extern VstIntPtr versionAnswer;
extern std::vector<HostCall> calls;

VstIntPtr VSTCALL hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

}  // namespace testhost
