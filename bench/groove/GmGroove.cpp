// Writes the demo groove with General MIDI drum notes, so that a GM synth
// plays the same part as the demo kit: gm-groove OUT.mid
#include <cstdio>

#include "Files.h"
#include "Groove.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gm-groove OUT.mid\n");
        return 2;
    }
    // Pad order of the demo kit, as GM percussion keys.
    const int gm[16] = {36, 38, 40, 37, 39, 42, 44, 46, 45, 47, 50, 49, 51, 56, 70, 54};
    kitgen::Groove groove = kitgen::demoGroove();
    for (kitgen::Hit& h : groove.hits) h.note = gm[h.note - kitgen::kKick];
    return kitgen::writeFile(argv[1], kitgen::encodeMidi(groove)) ? 0 : 1;
}
