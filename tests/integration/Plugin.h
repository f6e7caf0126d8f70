// Shared state of the binary-interface scenarios: the plug-in under test.
#pragma once

#include <string>

#include "support/PluginHost.h"

namespace scenario {

// Path of the plug-in binary, given on the command line.
extern std::string pluginPath;

// Loads the plug-in and creates one instrument through its entry; closes it
// (effClose) on destruction unless the test closed it already.
class Instance {
public:
    Instance();
    ~Instance();
    AEffect* effect() const { return fx; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return testhost::dispatch(fx, opcode, index, value, ptr, opt);
    }
    // Closes the instrument through the dispatcher; returns effClose's answer.
    VstIntPtr close();

private:
    testhost::Library library;
    AEffect* fx = nullptr;
};

}  // namespace scenario
