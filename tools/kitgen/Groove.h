// The demo groove: notes and tempo map, and its Standard MIDI File form.
#pragma once

#include <cstdint>
#include <vector>

namespace kitgen {

// Default pad notes, pad 0 first.
enum Note : int {
    kKick = 48,
    kSnare,
    kRimShot,
    kSideStick,
    kClap,
    kClosedHat,
    kPedalHat,
    kOpenHat,
    kLowTom,
    kMidTom,
    kHighTom,
    kCrash,
    kRide,
    kCowbell,
    kShaker,
    kTambourine
};

struct Hit {
    std::uint32_t tick;
    int note;
    int velocity;
};

struct TempoChange {
    std::uint32_t tick;
    double bpm;
};

struct Groove {
    int ticksPerQuarter = 480;
    int bars = 0;
    std::vector<Hit> hits;            // sorted by tick
    std::vector<TempoChange> tempos;  // sorted, the first at tick 0
};

Groove demoGroove();

// Format 1: a tempo track and one drum track on channel 10, the drum track
// written entirely with running status (note-offs as velocity-0 note-ons).
std::vector<std::uint8_t> encodeMidi(const Groove& groove);

}  // namespace kitgen
