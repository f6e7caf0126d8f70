// The CLAP plug-in under a strict host of the project's own, beside the VST 2
// plug-in. Usage: clap-host-test PLUGIN.clap VST_PLUGIN [FILTER]
//             or: clap-host-test PLUGIN.clap VST_PLUGIN --render OUT
// --render writes a fixed performance's eight outputs as raw floats, for
// comparing builds of other systems byte for byte.
#include <cstdio>
#include <cstring>

#include "clap/ClapHost.h"
#include "support/MiniTest.h"

namespace claptest {
int renderPerformance(const char* path);
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PLUGIN.clap VST_PLUGIN [FILTER | --render OUT]\n", argv[0]);
        return 2;
    }
    claptest::openLibrary(argv[1]);
    claptest::vstPath = argv[2];
    if (argc > 4 && std::strcmp(argv[3], "--render") == 0) return claptest::renderPerformance(argv[4]);
    // A filter "-WORD" runs every case whose name lacks WORD.
    const char* filter = argc > 3 ? argv[3] : "";
    if (filter[0] == '-') {
        auto& all = minitest::cases();
        for (size_t i = all.size(); i-- > 0;)
            if (std::strstr(all[i].name, filter + 1)) all.erase(all.begin() + long(i));
        filter = "";
    }
    return minitest::runAll(filter);
}
