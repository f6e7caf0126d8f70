// run() allocates nothing: the counting allocator sees every allocation
// made while `counting` is set, the plug-in's included.
#include <gtest/gtest.h>

#include "lv2/Kit.h"
#include "lv2/Lv2Host.h"
#include "support/CountingAllocator.h"

using testsupport::allocations;
using testsupport::counting;

namespace {

using namespace lv2test;

TEST(Lv2Realtime, RunAllocatesNothingEvenWhenItSplitsTheBlock) {
    Kit kit;
    Lv2Plugin lv2(KZ_LV2_BUNDLE, 44100.0);
    ASSERT_TRUE(lv2.ok());
    ASSERT_EQ(lv2.restoreChunk(kit.bytes()), LV2_STATE_SUCCESS);
    std::vector<Event> events;
    for (uint32_t i = 0; i < 700; i++)
        events.push_back(i % 50 == 0 ? noteOn(i * 512 / 700, kKick) : Event{i * 512 / 700, {0x80, 60, 0}, 3});
    for (uint32_t frames : {512u, 1u, 4096u}) {
        Block out(frames);
        lv2.connect(out, frames == 512 ? events : std::vector<Event>{noteOn(0, kHat)});
        counting = true;
        lilv_instance_run(lv2.lilvInstance(), frames);
        counting = false;
        EXPECT_EQ(allocations.exchange(0), 0) << frames;
    }
}

}  // namespace
