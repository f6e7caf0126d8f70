#include "Sounds.h"

namespace kitgen {

std::vector<Sound> makeKit() {
    struct Entry {
        const char* name;
        std::vector<double> (*render)();
        FinishSpec finish;
    };
    // Cymbals may ring longer; quieter peaks on the bright sounds keep the
    // kit balanced at equal pad volumes.
    static const Entry kEntries[] = {
        {"kick", kick, {-1.0, 2.5, -60.0, 10.0}},
        {"snare", snare, {-1.0, 2.5, -60.0, 10.0}},
        {"rimshot", rimShotSnare, {-1.0, 2.5, -60.0, 10.0}},
        {"sidestick", sideStick, {-2.5, 2.5, -60.0, 6.0}},
        {"clap", clap, {-1.5, 2.5, -60.0, 10.0}},
        {"closed-hat", closedHat, {-3.0, 2.5, -60.0, 6.0}},
        {"pedal-hat", pedalHat, {-3.0, 2.5, -60.0, 6.0}},
        {"open-hat", openHat, {-3.0, 4.0, -60.0, 20.0}},
        {"low-tom", [] { return tom(84.0); }, {-1.0, 2.5, -60.0, 15.0}},
        {"mid-tom", [] { return tom(112.0); }, {-1.0, 2.5, -60.0, 15.0}},
        {"high-tom", [] { return tom(149.0); }, {-1.0, 2.5, -60.0, 15.0}},
        {"crash", crash, {-2.0, 4.0, -60.0, 40.0}},
        {"ride", ride, {-3.0, 4.0, -60.0, 40.0}},
        {"cowbell", cowbell, {-3.0, 2.5, -60.0, 10.0}},
        {"shaker", shaker, {-3.0, 2.5, -60.0, 6.0}},
        {"tambourine", tambourine, {-3.0, 2.5, -60.0, 10.0}},
    };
    std::vector<Sound> kit;
    for (const Entry& e : kEntries) kit.push_back({e.name, finish(e.render(), e.finish)});
    return kit;
}

}  // namespace kitgen
