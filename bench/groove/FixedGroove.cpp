// Writes the demo groove at one fixed tempo, looped to a given length, for
// players that take no tempo changes from a MIDI file:
// fixed-groove OUT.mid SECONDS (whole bars of 2 s at 120 BPM).
#include <cstdio>
#include <cstdlib>

#include "Files.h"
#include "Groove.h"

int main(int argc, char** argv) {
    long seconds = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
    if (seconds < 2) {
        std::fprintf(stderr, "usage: fixed-groove OUT.mid SECONDS\n");
        return 2;
    }
    const kitgen::Groove demo = kitgen::demoGroove();
    const uint32_t bar = 4 * static_cast<uint32_t>(demo.ticksPerQuarter);
    const uint32_t end = static_cast<uint32_t>(seconds / 2) * bar;
    const uint32_t loop = static_cast<uint32_t>(demo.bars) * bar;
    kitgen::Groove groove;
    groove.ticksPerQuarter = demo.ticksPerQuarter;
    groove.tempos = {{0, 120.0}};
    for (uint32_t at = 0; at < end; at += loop)
        for (const kitgen::Hit& h : demo.hits)
            if (at + h.tick < end) groove.hits.push_back({at + h.tick, h.note, h.velocity});
    return kitgen::writeFile(argv[1], kitgen::encodeMidi(groove)) ? 0 : 1;
}
