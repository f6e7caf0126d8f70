// Command line of kz318-live.
#pragma once

#include <string>

namespace live {

struct Options {
    std::string name = "KZ318";  // JACK client name
    std::string kit;             // --kit: a bank to import
    std::string chunk;           // --chunk: a settings chunk to restore
    std::string saveChunk;       // --save-chunk: where the chunk goes at exit
    bool connect = true;
    bool gui = true;
    bool help = false;
};

// Parses argv; on failure returns false with a one-line reason.
bool parseOptions(int argc, char** argv, Options& options, std::string& error);

extern const char kUsage[];

}  // namespace live
