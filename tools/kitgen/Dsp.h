// Building blocks of the kit generator: a seeded noise source, filters,
// oscillators and the finishing step that turns a raw render into a sample.
// Everything is deterministic so that the generated files reproduce byte for
// byte.
#pragma once

#include <cstdint>
#include <vector>

namespace kitgen {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

// splitmix64: tiny, fast and identical on every platform.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    double uniform();  // in [-1, 1)
    double between(double lo, double hi);

private:
    std::uint64_t state_;
};

// Transposed direct form II biquad with the usual cookbook responses.
class Biquad {
public:
    static Biquad lowPass(double hz, double q);
    static Biquad highPass(double hz, double q);
    static Biquad bandPass(double hz, double q);  // 0 dB at the centre
    static Biquad peak(double hz, double q, double gainDb);

    // Takes another filter's response and keeps this one's state, for
    // filters that move while they run.
    void retune(const Biquad& other);
    double operator()(double x);

private:
    static Biquad make(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double z1_ = 0, z2_ = 0;
};

// Sine with a phase accumulator, so that its frequency can glide smoothly.
class Sine {
public:
    explicit Sine(double startPhase = 0.0) : phase_(startPhase) {}
    double operator()(double hz);

private:
    double phase_;
};

// Band-limited square (polyBLEP): the metal banks run their squares high
// enough that naive edges would fold audibly into the top octave.
class Square {
public:
    Square(double hz, double startPhase);
    double operator()();

private:
    double phase_, inc_;
};

// The classic six-square metal source; `scale` transposes the whole bank.
class MetalBank {
public:
    MetalBank(const double (&hz)[6], double scale, std::uint64_t seed);
    double operator()();

private:
    std::vector<Square> osc_;
};

extern const double kMetalHz[6];  // the familiar inharmonic set
extern const double kBellHz[6];   // a wider, brighter set for cymbals

double seconds(std::size_t frame);
std::size_t frames(double seconds);
double decay(double t, double tau);
double attack(double t, double rise);
double saturate(double x, double drive);  // tanh, unity gain at small levels
double dbToGain(double db);

struct FinishSpec {
    double peakDb = -1.0;     // normalised peak
    double maxSeconds = 2.5;  // hard cap; a longer fade is used when it bites
    double floorDb = -60.0;   // tail is cut where the sound stays below this (re peak)
    double fadeMs = 8.0;
};

// DC blocker, normalisation, tail trim, a short fade-in that keeps the
// transient and a fade-out that ends on zero.
std::vector<double> finish(std::vector<double> x, const FinishSpec& shape);

}  // namespace kitgen
