#include "support/PluginHost.h"

namespace testhost {

VstIntPtr versionAnswer = kHostVersion;
std::vector<HostCall> calls;

VstIntPtr VSTCALL hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float) {
    calls.push_back({opcode, index, value, effect == nullptr});
    if (opcode == audioMasterVersion) return versionAnswer;
    return 0;
}

}  // namespace testhost
