// The sixteen recipes of the demo kit, each rendering a raw (unnormalised)
// mono sound at kRate, and the kit that puts them in pad order.
#pragma once

#include <string>
#include <vector>

#include "Dsp.h"

namespace kitgen {

std::vector<double> kick();
std::vector<double> snare();
std::vector<double> rimShotSnare();
std::vector<double> sideStick();
std::vector<double> clap();
std::vector<double> tom(double hz);

std::vector<double> closedHat();
std::vector<double> pedalHat();
std::vector<double> openHat();
std::vector<double> crash();
std::vector<double> ride();
std::vector<double> cowbell();
std::vector<double> shaker();
std::vector<double> tambourine();

struct Sound {
    std::string name;             // file name without ".wav", e.g. "kick"
    std::vector<double> samples;  // finished: normalised, trimmed, faded
};

// Pad 0 first. Every call renders the same kit.
std::vector<Sound> makeKit();
// The sounds' names in the same order, without rendering them.
std::vector<std::string> kitNames();

}  // namespace kitgen
