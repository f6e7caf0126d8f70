// The audio path allocates nothing: the counting allocator sees every
// allocation made while `counting` is set.
#include <gtest/gtest.h>

#include "support/AudioKit.h"
#include "support/CountingAllocator.h"

using testsupport::allocations;
using testsupport::counting;

namespace {

using audiokit::Events;
using audiokit::Outputs;

TEST(Realtime, CountingSeesAnAllocation) {
    counting.store(true);
    int* volatile p = new int(3);
    counting.store(false);
    delete p;
    EXPECT_EQ(allocations.exchange(0), 1);
}

TEST(Realtime, EventsAndRenderingWithAllVoicesBusyAllocateNothing) {
    DrumInstrument d(nullptr);
    for (int p = 0; p < kNumPads; p++) {
        audiokit::placeSample(d, p, 44100);
        d.pads[p].output = p % 4;
        d.pads[p].pitch = 0.3f + 0.03f * p;
        d.pads[p].ampDecay = 0.05f;
        d.pads[p].pitchDecay = 0.02f;
    }
    d.pads[14].choke = 1;
    d.pads[15].choke = 2;
    Events all, chokes, off;
    for (int p = 0; p < kNumPads; p++) all.noteOn(48 + p, 100, p * 3);
    chokes.noteOn(62, 90, 10).noteOn(63, 80, 20).noteOn(48).midi(0x80, 50, 0).midi(0xB0, 1, 64);
    off.controller(123);
    Outputs out(256);
    long busyBlocks = 0;

    counting.store(true);
    for (int i = 0; i < 5000; i++) {
        if (i % 100 == 0) {
            d.processEvents(off.get());
            d.processEvents(all.get());
        }
        d.processEvents(chokes.get());
        if (i % 2)
            d.processReplacing(nullptr, out.ptrs, 256);
        else
            d.process(nullptr, out.ptrs, 64 + i % 192);
        if (audiokit::activeVoices(d) == kNumVoices) busyBlocks++;
    }
    counting.store(false);

    EXPECT_EQ(allocations.load(), 0);
    EXPECT_GT(busyBlocks, 4000);
}

}  // namespace
