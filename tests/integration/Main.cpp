// Drives the plug-in binary named on the command line through its binary
// interface only. Usage: kz318-abi-test PLUGIN [FILTER]
#include <cstdio>

#include "integration/Plugin.h"
#include "support/MiniTest.h"

namespace scenario {

std::string pluginPath;

Instance::Instance() : library(pluginPath) {
    testhost::EntryProc entry = testhost::findEntry(library);
    if (entry) fx = entry(testhost::hostCallback);
}

Instance::~Instance() {
    if (fx) close();
}

VstIntPtr Instance::close() {
    VstIntPtr answer = fx ? testhost::dispatch(fx, effClose) : 0;
    fx = nullptr;
    return answer;
}

}  // namespace scenario

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PLUGIN [FILTER]\n", argv[0]);
        return 2;
    }
    scenario::pluginPath = argv[1];
    return minitest::runAll(argc > 2 ? argv[2] : "");
}
