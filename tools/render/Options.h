// Command line of kz318-render.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace render {

struct PadOption {
    int pad = 0;                                                // 0..15
    std::string file;                                           // empty: keep the pad's sample
    std::vector<std::pair<std::string, std::string>> settings;  // key, value ("" for flags)
};

struct Options {
    std::string plugin;
    std::string kit;
    std::string midi;
    std::string out = "out.wav";
    std::string chunkIn;
    std::string chunkOut;
    std::vector<PadOption> pads;
    int block = 512;
    int rate = 44100;
    double tail = 10.0;
    bool stems = false;
    bool quiet = false;
    bool help = false;
    int benchmark = 0;  // number of timed renders, 0 for a normal run
};

// Parses argv; on failure returns false with a one-line reason.
bool parseOptions(int argc, char** argv, Options& options, std::string& error);

extern const char kUsage[];

}  // namespace render
