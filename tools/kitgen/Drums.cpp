// Membranes and hands: kick, snares, side stick, clap and toms.
#include <cmath>

#include "Sounds.h"

namespace kitgen {

namespace {

// A short band of noise for the stick or beater contact.
double contact(Rng& rng, Biquad& band, double t, double tau) { return band(rng.uniform()) * decay(t, tau); }

}  // namespace

std::vector<double> kick() {
    std::vector<double> out(frames(1.6));
    Sine body, knock;
    Rng rng(0x4B1C);
    Biquad click = Biquad::bandPass(3200.0, 0.8);
    Biquad tone = Biquad::lowPass(7000.0, 0.7);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        // Two-stage sweep: the fast drop is the punch, the slow one the weight.
        double hz = 49.0 + 95.0 * decay(t, 0.042) + 240.0 * decay(t, 0.0055);
        double amp = attack(t, 0.0004) * (0.55 * decay(t, 0.2) + 0.45 * decay(t, 0.07));
        double beater = 0.5 * knock(1150.0) * decay(t, 0.004);
        double x = body(hz) * amp + beater + 1.8 * contact(rng, click, t, 0.003);
        out[i] = tone(saturate(1.25 * x, 1.0));
    }
    return out;
}

namespace {

struct SnareVoice {
    double hz;       // fundamental of the head
    double bodyTau;  // ring of the lowest mode
    double wireLevel, wireTau, wireTail;
    double crackLevel, crackHz;
    double rimLevel;  // metallic ring of a rim shot, 0 for a plain hit
    std::uint64_t seed;
};

std::vector<double> snareFrom(const SnareVoice& v) {
    // Drum-head mode ratios, with amplitudes and rings falling off upwards.
    static const double kRatio[4] = {1.0, 1.59, 2.14, 2.65};
    static const double kLevel[4] = {1.0, 0.55, 0.3, 0.18};
    std::vector<double> out(frames(1.2));
    Sine mode[4], rim[2];
    Rng rng(v.seed);
    Biquad wireHp = Biquad::highPass(1700.0, 0.7), wirePeak = Biquad::peak(5200.0, 1.0, 4.0);
    Biquad wireLp = Biquad::lowPass(12000.0, 0.7);
    Biquad crack = Biquad::bandPass(v.crackHz, 1.1);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        double bend = 1.0 + 0.22 * decay(t, 0.012);
        double body = 0.0;
        for (int m = 0; m < 4; m++)
            body += kLevel[m] * mode[m](v.hz * kRatio[m] * bend) * decay(t, v.bodyTau / (1.0 + 0.5 * m));
        // The wires buzz harder while the head swings, hence the body term.
        double wires = wireLp(wirePeak(wireHp(rng.uniform())));
        double wireEnv = attack(t, 0.0008) * ((1.0 - v.wireTail) * decay(t, v.wireTau) + v.wireTail * decay(t, 0.18));
        wires *= wireEnv * (0.7 + 0.6 * std::fabs(body));
        double ring = v.rimLevel * (rim[0](1730.0) + 0.6 * rim[1](2870.0)) * decay(t, 0.03);
        double x =
            0.9 * body * attack(t, 0.0003) + v.wireLevel * wires + v.crackLevel * contact(rng, crack, t, 0.005) + ring;
        out[i] = saturate(1.3 * x, 1.0);
    }
    return out;
}

}  // namespace

std::vector<double> snare() { return snareFrom({186.0, 0.075, 0.85, 0.095, 0.15, 1.0, 3300.0, 0.0, 0x5A4E}); }

std::vector<double> rimShotSnare() { return snareFrom({228.0, 0.06, 0.7, 0.075, 0.12, 1.6, 4100.0, 0.35, 0x21A5}); }

std::vector<double> sideStick() {
    std::vector<double> out(frames(0.4));
    Sine wood, high, head;
    Rng rng(0x51D3);
    Biquad snap = Biquad::bandPass(2200.0, 2.0);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        double x = 0.7 * wood(540.0) * decay(t, 0.016) + 0.7 * high(1670.0) * decay(t, 0.01) +
                   0.35 * head(205.0) * decay(t, 0.035) + 0.9 * contact(rng, snap, t, 0.0035);
        out[i] = saturate(x * attack(t, 0.0002), 1.0);
    }
    return out;
}

std::vector<double> clap() {
    // Several hands a few milliseconds apart, then the room.
    static const double kHit[4] = {0.0, 0.0095, 0.0185, 0.031};
    static const double kLevel[4] = {0.75, 0.9, 0.8, 1.0};
    const double tail = kHit[3];
    std::vector<double> out(frames(1.2));
    Rng rng(0xC1A9);
    Biquad low = Biquad::bandPass(1150.0, 1.6), high = Biquad::bandPass(2400.0, 1.2);
    Biquad hp = Biquad::highPass(500.0, 0.7);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        double env = 0.0;
        for (int h = 0; h < 4; h++) env += kLevel[h] * attack(t - kHit[h], 0.0003) * decay(t - kHit[h], 0.0042);
        env += 0.42 * attack(t - tail, 0.003) * decay(t - tail, 0.13);
        double n = hp(rng.uniform());
        out[i] = (low(n) + 0.6 * high(n)) * env;
    }
    return out;
}

std::vector<double> tom(double hz) {
    static const double kRatio[3] = {1.0, 1.5, 1.98};
    static const double kLevel[3] = {1.0, 0.45, 0.25};
    const double tau = 24.0 / hz;  // smaller heads ring shorter
    std::vector<double> out(frames(2.5));
    Sine mode[3];
    Rng rng(0x7030 + static_cast<std::uint64_t>(hz));
    Biquad stick = Biquad::bandPass(2600.0, 1.0), skin = Biquad::bandPass(hz * 2.2, 2.5);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        double bend = 1.0 + 0.32 * decay(t, 0.035) + 0.06 * decay(t, 0.25);
        double x = 0.0;
        for (int m = 0; m < 3; m++) x += kLevel[m] * mode[m](hz * kRatio[m] * bend) * decay(t, tau / (1.0 + 0.6 * m));
        x *= attack(t, 0.0004);
        x += 0.9 * contact(rng, stick, t, 0.004) + 0.35 * skin(rng.uniform()) * decay(t, tau * 0.3);
        out[i] = saturate(1.2 * x, 1.0);
    }
    return out;
}

}  // namespace kitgen
