// Loading a WAV file into a pad, against sox doing the same conversion (to
// mono, 16-bit, 44.1 kHz) in the same run. Prints one line:
// load: <ms> ms for 60 s of 48 kHz 24-bit stereo, <x> x realtime, <r> x sox
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "instrument/DrumInstrument.h"
#include "support/WaveWriter.h"

extern char** environ;

namespace {

const int kSeconds = 60;
const uint32_t kRate = 48000;

// Two detuned tones and a little noise on each channel, 24-bit.
wavetest::Bytes testFile() {
    std::vector<int32_t> frames;
    frames.reserve(size_t(kSeconds) * kRate * 2);
    uint32_t noise = 1;
    for (uint32_t i = 0; i < kSeconds * kRate; i++) {
        noise = noise * 1664525u + 1013904223u;
        double t = double(i) / kRate, n = double(int32_t(noise)) / 2147483648.0;
        frames.push_back(int32_t(3000000 * std::sin(2 * M_PI * 110 * t) + 200000 * n));
        frames.push_back(int32_t(3000000 * std::sin(2 * M_PI * 163 * t) - 200000 * n));
    }
    wavetest::Format f;
    f.channels = 2;
    f.rate = kRate;
    f.bits = 24;
    return wavetest::wave(f, wavetest::samples(frames, 3));
}

double now() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <typename F>
double timeMs(F work) {
    double start = now();
    work();
    return now() - start;
}

bool runSox(const std::string& in, const std::string& out) {
    const char* argv[] = {"sox", in.c_str(), "-c", "1", "-b", "16", "-r", "44100", out.c_str(), nullptr};
    pid_t child;
    if (posix_spawnp(&child, "sox", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main() {
    const char* tmp = std::getenv("TMPDIR");
    std::string prefix = std::string(tmp && *tmp ? tmp : "/tmp") + "/kz318-bench-load-" + std::to_string(getpid());
    std::string in = prefix + "-in.wav", out = prefix + "-out.wav";
    if (!wavetest::writeFile(in, testFile())) {
        std::fprintf(stderr, "cannot write %s\n", in.c_str());
        return 1;
    }
    DrumInstrument instrument(nullptr);
    instrument.loadSampleFile(0, in.c_str());  // warms the file cache
    int expected = kSeconds * 44100;
    if (std::abs(instrument.pads[0].sampleLength - expected) > 16) {
        std::fprintf(stderr, "loaded %d frames, expected about %d\n", int(instrument.pads[0].sampleLength), expected);
        return 1;
    }
    // Turn about, so that both see the same load on the machine.
    std::vector<double> ours, sox;
    bool soxRan = true;
    for (int i = 0; i < 9 && soxRan; i++) {
        ours.push_back(timeMs([&] { instrument.loadSampleFile(0, in.c_str()); }));
        sox.push_back(timeMs([&] { soxRan = runSox(in, out); }));
    }
    std::remove(in.c_str());
    std::remove(out.c_str());
    if (!soxRan) {
        std::printf("load: %.1f ms for 60 s of 48 kHz 24-bit stereo, %.0f x realtime, sox did not run\n", median(ours),
                    kSeconds * 1000.0 / median(ours));
        return 1;
    }
    std::printf("load: %.1f ms for 60 s of 48 kHz 24-bit stereo, %.0f x realtime, %.1f x sox\n", median(ours),
                kSeconds * 1000.0 / median(ours), median(sox) / median(ours));
    return 0;
}
