// Intro (4 bars), verse (8), chorus (8, a little faster), ending (2, slowing).
#include "Groove.h"

#include <algorithm>
#include <vector>

#include "Dsp.h"

namespace kitgen {

namespace {

constexpr int kStep = 120;  // a sixteenth at 480 ticks per quarter
constexpr int kBar = 16 * kStep;

class Builder {
public:
    explicit Builder(Groove& g) : g_(g), rng_(0x6A00F) {}

    // `feel` is the timing spread in ticks: hats and ghosts breathe, the
    // backbone stays on the grid.
    void hit(int bar, int step, int note, int velocity, int feel = 0) {
        int tick = bar * kBar + step * kStep;
        if (feel > 0) tick += static_cast<int>(rng_.between(-feel, feel + 1));
        int v = velocity + static_cast<int>(rng_.between(-4.0, 5.0));
        g_.hits.push_back({static_cast<std::uint32_t>(std::max(0, tick)), note, std::clamp(v, 1, 127)});
    }
    void tempo(int bar, int step, double bpm) {
        g_.tempos.push_back({static_cast<std::uint32_t>(bar * kBar + step * kStep), bpm});
    }
    void hits(int bar, const std::vector<int>& steps, int note, int velocity, int feel = 0) {
        for (int s : steps) hit(bar, s, note, velocity, feel);
    }

private:
    Groove& g_;
    Rng rng_;
};

// Closed hats on eighths (intro) or sixteenths, quarter notes leaning in.
void hats(Builder& b, int bar, bool sixteenths, int fromStep = 0, int toStep = 16, int openAt = -1) {
    for (int s = fromStep; s < toStep; s += sixteenths ? 1 : 2) {
        int v = s % 4 == 0 ? 104 : s % 2 == 0 ? 88 : 66;
        b.hit(bar, s, s == openAt ? kOpenHat : kClosedHat, s == openAt ? 92 : v, 4);
    }
}

void intro(Builder& b) {
    for (int bar = 0; bar < 4; bar++) {
        hats(b, bar, false);
        b.hits(bar, bar % 2 ? std::vector<int>{0, 7, 10} : std::vector<int>{0, 8, 10}, kKick, 108);
        // Side stick first, then the snare comes in.
        b.hits(bar, {4, 12}, bar < 2 ? kSideStick : kSnare, bar < 2 ? 100 : 114);
    }
    b.hit(0, 0, kCrash, 110);
    b.hit(3, 13, kSnare, 66);
    b.hit(3, 14, kSnare, 84);
    b.hit(3, 15, kSnare, 100);
}

void verse(Builder& b) {
    for (int bar = 4; bar < 12; bar++) {
        bool second = bar % 2;
        bool fillBar = bar == 11;
        hats(b, bar, true, 0, fillBar ? 8 : 16, second && bar != 7 ? 14 : -1);
        b.hits(bar, {4}, kSnare, 116);
        if (!fillBar) b.hits(bar, {12}, kSnare, 118);
        if (second) {
            b.hits(bar, fillBar ? std::vector<int>{0, 3} : std::vector<int>{0, 3, 10}, kKick, 104);
            b.hit(bar, 2, kSnare, 34, 6);
            b.hit(bar, 7, kSnare, 42, 6);
            if (!fillBar) b.hit(bar, 15, kSnare, 50, 6);
        } else {
            b.hits(bar, {0, 7, 10}, kKick, 108);
            b.hit(bar, 7, kSnare, 44, 6);
            b.hit(bar, 9, kSnare, 36, 6);
        }
        if (bar >= 8 && !fillBar)
            for (int s = 0; s < 16; s++) b.hit(bar, s, kShaker, s % 4 == 2 ? 80 : s % 2 ? 56 : 66, 3);
    }
    b.hit(4, 0, kCrash, 112);
    b.hit(7, 14, kSnare, 62);
    // Round the toms into the chorus.
    static const int kFill[8] = {kHighTom, kHighTom, kMidTom, kMidTom, kLowTom, kLowTom, kSnare, kLowTom};
    static const int kFillVelocity[8] = {108, 90, 106, 90, 110, 94, 114, 104};
    for (int i = 0; i < 8; i++) b.hit(11, 8 + i, kFill[i], kFillVelocity[i]);
    b.hits(11, {8, 15}, kKick, 104);
}

void chorus(Builder& b) {
    b.tempo(12, 0, 105.0);
    for (int bar = 12; bar < 20; bar++) {
        bool phraseEnd = bar == 15 || bar == 19;
        // Hands leave the ride and the backbeat for the fills.
        int rideEnd = bar == 19 ? 8 : bar == 15 ? 13 : 16;
        for (int s = 0; s < rideEnd; s += 2) b.hit(bar, s, kRide, s % 4 == 0 ? 106 : 88, 3);
        b.hits(bar, {4, 12}, kPedalHat, 70, 3);
        b.hits(bar, bar % 2 ? std::vector<int>{0, 8, 10, 14} : std::vector<int>{0, 6, 8, 10}, kKick, 110);
        std::vector<int> backbeat = bar == 19 ? std::vector<int>{4} : std::vector<int>{4, 12};
        b.hits(bar, backbeat, kRimShot, 112);
        b.hits(bar, backbeat, kClap, 94);
        b.hits(bar, {4, 12}, kTambourine, 98, 2);
        b.hits(bar, {2, 6, 10, 14}, kTambourine, 64, 3);
        if (bar != 19) b.hit(bar, 11, kSnare, 40, 6);
        if (bar >= 16) b.hits(bar, {0, 4, 8, 12}, kCowbell, 78, 2);
        if (!phraseEnd)
            for (int s = 1; s < 16; s += 2) b.hit(bar, s, kShaker, 54, 3);
    }
    b.hit(12, 0, kCrash, 116);
    b.hit(16, 0, kCrash, 112);
    b.hit(15, 13, kSnare, 70);
    b.hit(15, 14, kSnare, 88);
    b.hit(15, 15, kRimShot, 108);
    // Two beats around the kit, kick underneath.
    static const int kFill[8] = {kSnare, kSnare, kHighTom, kHighTom, kMidTom, kMidTom, kLowTom, kLowTom};
    static const int kFillVelocity[8] = {104, 86, 106, 92, 108, 94, 112, 100};
    for (int i = 0; i < 8; i++) b.hit(19, 8 + i, kFill[i], kFillVelocity[i]);
}

void ending(Builder& b) {
    b.hit(20, 0, kCrash, 114);
    hats(b, 20, false, 2);
    b.hits(20, {0, 7, 10}, kKick, 110);
    b.hits(20, {4, 12}, kSnare, 118);
    b.hits(20, {14, 15}, kSnare, 96);
    b.tempo(20, 8, 101.0);
    b.tempo(20, 12, 97.0);
    b.tempo(21, 0, 94.0);
    b.hit(21, 0, kCrash, 124);
    b.hit(21, 0, kKick, 124);
    b.hit(21, 0, kLowTom, 110);
}

}  // namespace

Groove demoGroove() {
    Groove g;
    g.bars = 22;
    Builder b(g);
    b.tempo(0, 0, 102.0);
    intro(b);
    verse(b);
    chorus(b);
    ending(b);
    std::stable_sort(g.hits.begin(), g.hits.end(), [](const Hit& x, const Hit& y) { return x.tick < y.tick; });
    std::stable_sort(g.tempos.begin(), g.tempos.end(),
                     [](const TempoChange& x, const TempoChange& y) { return x.tick < y.tick; });
    return g;
}

}  // namespace kitgen
