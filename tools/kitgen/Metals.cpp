// Metal and shakers: hats, cymbals, cowbell, shaker and tambourine.
#include <cmath>

#include "Sounds.h"

namespace kitgen {

namespace {

// The hat pair shares one voice; only the envelope and the colour differ.
struct HatVoice {
    double length;
    double fastTau, slowTau, slowLevel;
    double rise;    // a foot-closed hat starts softer than a stick hit
    double bandHz;  // where the metal sits
    double chick;   // low "chick" of the two cymbals meeting
};

std::vector<double> hatFrom(const HatVoice& v) {
    std::vector<double> out(frames(v.length));
    MetalBank metal(kMetalHz, 1.0, 0x4A7);
    Rng rng(0x4A70);
    Biquad band1 = Biquad::bandPass(v.bandHz, 1.1), band2 = Biquad::bandPass(v.bandHz * 1.45, 1.3);
    Biquad metalHp = Biquad::highPass(6200.0, 0.7), noiseHp = Biquad::highPass(7500.0, 0.7);
    Biquad soften = Biquad::lowPass(15000.0, 0.7), chickBand = Biquad::bandPass(1800.0, 1.5);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        double m = metal();
        double x = metalHp(band1(m) + 0.7 * band2(m)) + 0.15 * noiseHp(rng.uniform());
        double env =
            attack(t, v.rise) * ((1.0 - v.slowLevel) * decay(t, v.fastTau) + v.slowLevel * decay(t, v.slowTau));
        double c = v.chick * chickBand(rng.uniform()) * attack(t, 0.002) * decay(t, 0.012);
        out[i] = soften(x * env + c);
    }
    return out;
}

}  // namespace

std::vector<double> closedHat() { return hatFrom({0.5, 0.016, 0.055, 0.15, 0.0002, 8200.0, 0.0}); }
std::vector<double> pedalHat() { return hatFrom({0.6, 0.03, 0.07, 0.3, 0.0025, 7200.0, 0.6}); }
std::vector<double> openHat() { return hatFrom({3.0, 0.09, 0.4, 0.7, 0.0003, 8200.0, 0.0}); }

std::vector<double> crash() {
    // Two banks ring-modulated give the dense, beating spectrum of a thin
    // cymbal; highs die faster than the body so the wash darkens as it fades.
    std::vector<double> out(frames(4.5));
    MetalBank a(kMetalHz, 1.0, 0xC4A), b(kBellHz, 1.37, 0xC4B);
    Rng rng(0xC4A5);
    Biquad body = Biquad::bandPass(3600.0, 0.6), bright = Biquad::highPass(7500.0, 0.7);
    Biquad hp = Biquad::highPass(900.0, 0.7), noiseBand = Biquad::bandPass(6000.0, 0.5);
    Biquad soften = Biquad::lowPass(14500.0, 0.7);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        double sa = a(), sb = b();
        double metal = hp(0.5 * sa * sb + 0.25 * sa + 0.25 * sb);
        double n = noiseBand(rng.uniform());
        double hit = attack(t, 0.0008);
        double x = body(metal) * (0.35 * decay(t, 0.06) + 0.65 * decay(t, 1.25)) * attack(t, 0.004) +
                   bright(metal + 0.6 * n) * (0.6 * decay(t, 0.04) + 0.4 * decay(t, 0.75)) + 0.35 * n * decay(t, 0.9);
        out[i] = soften(x * hit);
    }
    return out;
}

std::vector<double> ride() {
    // A stick "ping", a bell-like cluster of partials that gives the ride its
    // pitch, and a quiet wash beneath.
    static const double kPartialHz[5] = {612.0, 1487.0, 2413.0, 3729.0, 5163.0};
    static const double kPartialLevel[5] = {0.5, 0.8, 0.55, 0.4, 0.25};
    std::vector<double> out(frames(4.0));
    MetalBank a(kMetalHz, 1.6, 0x41D), b(kBellHz, 1.1, 0x41E);
    Sine partial[5];
    Rng rng(0x41DE);
    Biquad ping = Biquad::bandPass(5200.0, 1.6), wash = Biquad::bandPass(7200.0, 0.8);
    Biquad hp = Biquad::highPass(2500.0, 0.7), soften = Biquad::lowPass(14000.0, 0.7);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        double sa = a(), sb = b();
        double metal = hp(0.6 * sa * sb + 0.4 * sa);
        double bell = 0.0;
        for (int p = 0; p < 5; p++)
            bell += kPartialLevel[p] * partial[p](kPartialHz[p]) * decay(t, 0.9 / (1.0 + 0.4 * p));
        double x = 1.1 * ping(metal) * decay(t, 0.025) + 0.05 * bell * attack(t, 0.0005) +
                   0.55 * wash(metal + 0.3 * rng.uniform()) * (0.4 * decay(t, 0.1) + 0.6 * decay(t, 1.5));
        out[i] = soften(x * attack(t, 0.0003));
    }
    return out;
}

std::vector<double> cowbell() {
    std::vector<double> out(frames(1.0));
    Square low(540.0, 0.0), high(800.0, 0.0);
    Biquad band = Biquad::bandPass(900.0, 2.2), edge = Biquad::bandPass(2700.0, 1.5);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        double s = low() + high();
        double env = attack(t, 0.0004) * (0.65 * decay(t, 0.012) + 0.35 * decay(t, 0.14));
        out[i] = (band(s) + 0.25 * edge(s)) * env;
    }
    return out;
}

std::vector<double> shaker() {
    // The beads travel before they hit the wall: a slow swell of grains.
    std::vector<double> out(frames(0.5));
    Rng rng(0x5A4B), grainRng(0x5A4C);
    Biquad band = Biquad::bandPass(6200.0, 0.9), hp = Biquad::highPass(3500.0, 0.7);
    double grain = 0.0;
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        if (grainRng.uniform() > 0.985) grain += grainRng.between(0.5, 1.5);
        grain *= 0.93;
        double swell = t < 0.022 ? std::pow(t / 0.022, 2.0) : decay(t - 0.022, 0.038);
        out[i] = hp(band(rng.uniform() * (0.6 + grain))) * swell;
    }
    return out;
}

std::vector<double> tambourine() {
    // A palm on the head sets the jingles rattling in a few quick waves.
    static const double kWave[4] = {0.0, 0.007, 0.016, 0.029};
    static const double kWaveLevel[4] = {1.0, 0.55, 0.4, 0.25};
    std::vector<double> out(frames(1.0));
    MetalBank jingles(kBellHz, 5.3, 0x7A3B);
    Rng rng(0x7A3C);
    Sine head;
    Biquad band = Biquad::bandPass(7800.0, 1.2), hp = Biquad::highPass(4800.0, 0.7);
    Biquad soften = Biquad::lowPass(15000.0, 0.7);
    for (std::size_t i = 0; i < out.size(); i++) {
        double t = seconds(i);
        double env = 0.0;
        for (int w = 0; w < 4; w++) env += kWaveLevel[w] * attack(t - kWave[w], 0.0005) * decay(t - kWave[w], 0.02);
        env += 0.3 * decay(t, 0.12);
        double jingle = hp(band(jingles() + 0.5 * rng.uniform()));
        double thump = 0.25 * head(260.0) * decay(t, 0.02) * attack(t, 0.0005);
        out[i] = soften(jingle * env) + thump;
    }
    return out;
}

}  // namespace kitgen
