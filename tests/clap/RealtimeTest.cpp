// process() allocates nothing, also when it splits a crowded block; state
// loads on the main thread while blocks run on another. The counting
// allocator sees the plug-in's allocations too (its operator new binds to
// this program's on Linux).
#include <atomic>
#include <thread>

#include "clap/ClapHost.h"
#include "lv2/Kit.h"
#include "support/CountingAllocator.h"
#include "support/MiniTest.h"

using namespace claptest;
using testsupport::allocations;
using testsupport::counting;

TEST_CASE(ProcessAllocatesNothingEvenWhenItSplitsTheBlock) {
    lv2test::Kit kit;
    ClapPlugin p;
    if (!CHECK(p.ok() && p.load(kit.bytes()) && p.activate(44100.0, 4096))) return;
    std::vector<Event> crowded;
    for (uint32_t i = 0; i < 700; i++)
        crowded.push_back(i % 50 == 0 ? noteOn(i * 512 / 700, lv2test::kKick, 0.8) : midi(i * 512 / 700, 0x80, 60, 0));
    for (uint32_t frames : {512u, 1u, 4096u}) {
        Block out(frames);
        p.prepare(out, frames == 512 ? crowded : std::vector<Event>{noteOn(0, lv2test::kHat, 1.0)});
        counting = true;
        p.processPrepared();
        counting = false;
        CHECK_EQ(allocations.exchange(0), 0L);
    }
}

TEST_CASE(StateLoadsWhileBlocksRunOnTheAudioThread) {
    lv2test::Kit kit;
    ClapPlugin p;
    if (!CHECK(p.ok() && p.activate(44100.0, 256))) return;
    std::atomic<bool> stop(false);
    std::atomic<int> blocks(0);
    std::thread audio([&] {
        Block out(256);
        while (!stop.load()) {
            p.run(out, {noteOn(0, lv2test::kKick, 1.0), midi(100, 0x90, lv2test::kHat, 90)});
            blocks++;
        }
    });
    bool loaded = true;
    for (int i = 0; i < 10; i++) loaded = p.load(kit.bytes(), 3) && loaded;
    while (blocks.load() < 20) std::this_thread::yield();
    stop = true;
    audio.join();
    CHECK(loaded);
    VstPlugin vst(vstPath);
    vst.setChunk(kit.bytes());
    CHECK(p.state() == vst.chunk());
}
