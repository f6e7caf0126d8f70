#include "Sounds.h"

namespace kitgen {

namespace {

struct Entry {
    const char* name;
    std::vector<double> (*render)();
    FinishSpec finish;
};

// Cymbals may ring longer; quieter peaks on the bright sounds keep the kit
// balanced at equal pad volumes. The names are short enough for the editor's
// pad name boxes to show them whole.
const Entry kEntries[] = {
    {"kick", kick, {-1.0, 2.5, -60.0, 10.0}},
    {"snare", snare, {-1.0, 2.5, -60.0, 10.0}},
    {"rimshot", rimShotSnare, {-1.0, 2.5, -60.0, 10.0}},
    {"sidestick", sideStick, {-2.5, 2.5, -60.0, 6.0}},
    {"clap", clap, {-1.5, 2.5, -60.0, 10.0}},
    {"hat", closedHat, {-3.0, 2.5, -60.0, 6.0}},
    {"pedalhat", pedalHat, {-3.0, 2.5, -60.0, 6.0}},
    {"openhat", openHat, {-3.0, 4.0, -60.0, 20.0}},
    {"lowtom", [] { return tom(84.0); }, {-1.0, 2.5, -60.0, 15.0}},
    {"midtom", [] { return tom(112.0); }, {-1.0, 2.5, -60.0, 15.0}},
    {"hightom", [] { return tom(149.0); }, {-1.0, 2.5, -60.0, 15.0}},
    {"crash", crash, {-2.0, 4.0, -60.0, 40.0}},
    {"ride", ride, {-3.0, 4.0, -60.0, 40.0}},
    {"cowbell", cowbell, {-3.0, 2.5, -60.0, 10.0}},
    {"shaker", shaker, {-3.0, 2.5, -60.0, 6.0}},
    {"tamb", tambourine, {-3.0, 2.5, -60.0, 10.0}},
};

}  // namespace

std::vector<std::string> kitNames() {
    std::vector<std::string> names;
    for (const Entry& e : kEntries) names.push_back(e.name);
    return names;
}

std::vector<Sound> makeKit() {
    std::vector<Sound> kit;
    for (const Entry& e : kEntries) kit.push_back({e.name, finish(e.render(), e.finish)});
    return kit;
}

}  // namespace kitgen
