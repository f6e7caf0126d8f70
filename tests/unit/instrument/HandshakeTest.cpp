// The audio side of the load handshake against a loader thread that swaps
// pad samples while notes play. Under the sanitizer builds a read of a freed
// sample or a race on the voices fails the test.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/AudioKit.h"

using audiokit::Events;
using audiokit::Outputs;

namespace {

// The loader side as the loaders run it: raise `loading`, wait for the audio
// thread to leave, replace the buffer and stop its voices, lower `loading`.
void swapSample(DrumInstrument& d, int pad, int frames) {
    d.loading.store(1);
    while (d.audioBusy.load()) std::this_thread::yield();
    float* old = d.pads[pad].sampleData;
    for (int v = 0; v < kNumVoices; v++)
        if (d.voices[v].sampleData == old) d.voices[v].active = 0;
    audiokit::placeSample(d, pad, frames);  // frees the old buffer
    d.loading.store(0);
}

TEST(Handshake, SamplesSwappedWhileNotesPlay) {
    DrumInstrument d(nullptr);
    for (int p = 0; p < kNumPads; p++) audiokit::placeSample(d, p, 2000);
    std::atomic<bool> done(false);
    std::atomic<int> blocks(0), sounding(0);
    std::thread audio([&] {
        Outputs out(128);
        Events e;
        for (int p = 0; p < kNumPads; p++) e.noteOn(48 + p, 100, p);
        while (!done.load()) {
            d.processEvents(e.get());
            d.processReplacing(nullptr, out.ptrs, 128);
            blocks++;
            if (out.at(0, 127) != 0.0f) sounding++;
        }
    });
    // Both sides keep going until each has done its share, however the two
    // threads get scheduled.
    for (int i = 0; (i < 300 || blocks.load() < 300 || sounding.load() < 10) && i < 1000000; i++) {
        swapSample(d, i % kNumPads, 1000 + 7 * (i % 300));
        std::this_thread::yield();
    }
    done.store(true);
    audio.join();
    EXPECT_EQ(d.audioBusy.load(), 0);
    EXPECT_GE(sounding.load(), 10);
}

}  // namespace
