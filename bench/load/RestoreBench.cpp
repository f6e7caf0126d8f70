// How long the audio is held while a whole kit is restored during playback.
// An audio thread plays 64-frame blocks at the pace of 44100 Hz with every
// pad sounding, while the host thread restores a chunk naming sixteen 5 s
// WAV files (48 kHz, 24-bit stereo). Prints one line:
// restore: longest silence <n> blocks of 64 frames (<ms> ms) while 16 pads of 5 s 48 kHz 24-bit stereo load
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "formats/KitFormats.h"
#include "instrument/DrumInstrument.h"
#include "support/AudioKit.h"
#include "support/TempFolder.h"
#include "support/WaveWriter.h"

namespace {

const int kBlock = 64;
const uint32_t kRate = 48000;
const int kRuns = 5;

wavetest::Bytes padFile(int pad) {
    std::vector<int32_t> frames;
    for (uint32_t i = 0; i < 5 * kRate; i++) {
        double t = double(i) / kRate;
        frames.push_back(int32_t(3000000 * std::sin(2 * M_PI * (60 + 20 * pad) * t)));
        frames.push_back(int32_t(2000000 * std::sin(2 * M_PI * (90 + 20 * pad) * t)));
    }
    wavetest::Format f;
    f.channels = 2;
    f.rate = kRate;
    f.bits = 24;
    return wavetest::wave(f, wavetest::samples(frames, 3));
}

// Plays until stopped; returns the longest run of blocks the load held back.
int playWhile(DrumInstrument& d, std::atomic<bool>& stop) {
    audiokit::Outputs out(kBlock);
    audiokit::Events notes;
    for (int p = 0; p < kNumPads; p++) notes.noteOn(48 + p, 100, 0);
    const auto period = std::chrono::duration<double>(double(kBlock) / 44100);
    auto next = std::chrono::steady_clock::now();
    int run = 0, longest = 0, block = 0;
    while (!stop.load()) {
        if (block++ % 64 == 0) d.processEvents(notes.get());
        bool held = d.loading.load() != 0;
        d.processReplacing(nullptr, out.ptrs, kBlock);
        run = held ? run + 1 : 0;
        longest = std::max(longest, run);
        next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
        std::this_thread::sleep_until(next);
    }
    return longest;
}

}  // namespace

int main() {
    testsupport::TempFolder folder;
    kitformat::Chunk chunk = kitformat::defaultChunk();
    for (int p = 0; p < kNumPads; p++) {
        std::string path = folder / ("pad" + std::to_string(p) + ".wav");
        if (!wavetest::writeFile(path, padFile(p))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::strcpy(chunk.pads[p].path, path.c_str());
        chunk.pads[p].settings.midiNote = 48 + p;
    }
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(chunk, bytes.data());

    DrumInstrument d(nullptr);
    d.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()), false);  // warms the file cache
    std::vector<int> longest;
    double restoreMs = 0;
    for (int i = 0; i < kRuns; i++) {
        std::atomic<bool> stop(false);
        int held = 0;
        std::thread audio([&] { held = playWhile(d, stop); });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        auto start = std::chrono::steady_clock::now();
        d.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()), false);
        restoreMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop = true;
        audio.join();
        longest.push_back(held);
    }
    int worst = *std::max_element(longest.begin(), longest.end());
    std::printf(
        "restore: longest silence %d blocks of 64 frames (%.1f ms) while 16 pads of 5 s 48 kHz 24-bit "
        "stereo load (restore %.0f ms, worst of %d)\n",
        worst, worst * kBlock * 1000.0 / 44100, restoreMs / kRuns, kRuns);
    return 0;
}
