#include "Dsp.h"

#include <algorithm>
#include <cmath>

namespace kitgen {

const double kMetalHz[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
const double kBellHz[6] = {311.7, 456.5, 598.9, 733.1, 871.4, 1043.6};

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform() {
    // 53 random bits give an exact double in [0, 1).
    return static_cast<double>(next() >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

double Rng::between(double lo, double hi) { return lo + (uniform() + 1.0) * 0.5 * (hi - lo); }

Biquad Biquad::make(double b0, double b1, double b2, double a0, double a1, double a2) {
    Biquad f;
    f.b0_ = b0 / a0;
    f.b1_ = b1 / a0;
    f.b2_ = b2 / a0;
    f.a1_ = a1 / a0;
    f.a2_ = a2 / a0;
    return f;
}

Biquad Biquad::lowPass(double hz, double q) {
    double w = 2.0 * kPi * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    return make((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::highPass(double hz, double q) {
    double w = 2.0 * kPi * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    return make((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::bandPass(double hz, double q) {
    double w = 2.0 * kPi * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    return make(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::peak(double hz, double q, double gainDb) {
    double a = std::pow(10.0, gainDb / 40.0);
    double w = 2.0 * kPi * hz / kRate, c = std::cos(w), alpha = std::sin(w) / (2.0 * q);
    return make(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a);
}

void Biquad::retune(const Biquad& other) {
    b0_ = other.b0_;
    b1_ = other.b1_;
    b2_ = other.b2_;
    a1_ = other.a1_;
    a2_ = other.a2_;
}

double Biquad::operator()(double x) {
    double y = b0_ * x + z1_;
    z1_ = b1_ * x - a1_ * y + z2_;
    z2_ = b2_ * x - a2_ * y;
    return y;
}

double Sine::operator()(double hz) {
    double y = std::sin(2.0 * kPi * phase_);
    phase_ += hz / kRate;
    phase_ -= std::floor(phase_);
    return y;
}

namespace {

// Residual of a unit step sampled at phase t (0..1) for increment dt.
double blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

Square::Square(double hz, double startPhase) : phase_(startPhase), inc_(hz / kRate) {}

double Square::operator()() {
    double y = phase_ < 0.5 ? 1.0 : -1.0;
    y += blep(phase_, inc_);
    double half = phase_ + 0.5;
    y -= blep(half - std::floor(half), inc_);
    phase_ += inc_;
    phase_ -= std::floor(phase_);
    return y;
}

MetalBank::MetalBank(const double (&hz)[6], double scale, std::uint64_t seed) {
    // A slight per-oscillator detune keeps the beating from sounding machine-exact.
    Rng rng(seed);
    for (double f : hz) osc_.emplace_back(f * scale * (1.0 + 0.004 * rng.uniform()), rng.between(0.0, 1.0));
}

double MetalBank::operator()() {
    double sum = 0.0;
    for (Square& s : osc_) sum += s();
    return sum / static_cast<double>(osc_.size());
}

double seconds(std::size_t frame) { return static_cast<double>(frame) / kRate; }
std::size_t frames(double s) { return static_cast<std::size_t>(s * kRate + 0.5); }
double decay(double t, double tau) { return t < 0.0 ? 0.0 : std::exp(-t / tau); }
double attack(double t, double rise) { return t <= 0.0 ? 0.0 : 1.0 - std::exp(-t / rise); }
double saturate(double x, double drive) { return std::tanh(x * drive) / drive; }
double dbToGain(double db) { return std::pow(10.0, db / 20.0); }

namespace {

void removeDc(std::vector<double>& x) {
    // One-pole high-pass at about 8 Hz: below anything a drum means to say.
    const double r = std::exp(-2.0 * kPi * 8.0 / kRate);
    double prevIn = 0.0, prevOut = 0.0;
    for (double& v : x) {
        double out = v - prevIn + r * prevOut;
        prevIn = v;
        prevOut = out;
        v = out;
    }
}

void fade(std::vector<double>& x, std::size_t begin, std::size_t length, bool in) {
    for (std::size_t i = 0; i < length && begin + i < x.size(); i++) {
        double g = 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(length));
        x[begin + i] *= in ? g : 1.0 - g;
    }
}

}  // namespace

std::vector<double> finish(std::vector<double> x, const FinishSpec& shape) {
    removeDc(x);
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    if (peak <= 0.0) return x;
    const double gain = dbToGain(shape.peakDb) / peak;
    for (double& v : x) v *= gain;

    const double floor = dbToGain(shape.peakDb + shape.floorDb);
    std::size_t end = x.size();
    while (end > 0 && std::fabs(x[end - 1]) < floor) end--;
    std::size_t fadeLength = frames(shape.fadeMs / 1000.0);
    const std::size_t cap = frames(shape.maxSeconds);
    end = std::min(x.size(), end + fadeLength / 2);
    if (end > cap) {
        end = std::min(x.size(), cap);
        fadeLength = frames(0.25);  // a cut ring needs a long fade to sound natural
    }
    x.resize(end);
    fade(x, 0, 16, true);
    fade(x, end - std::min(end, fadeLength), std::min(end, fadeLength), false);
    return x;
}

}  // namespace kitgen
