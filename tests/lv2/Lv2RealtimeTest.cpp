// run() allocates nothing: this program's global allocation functions count
// every call made while `counting` is set, the plug-in's included (its
// operator new binds to these).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "lv2/Kit.h"
#include "lv2/Lv2Host.h"

namespace {

std::atomic<bool> counting(false);
std::atomic<long> allocations(0);

void* allocate(std::size_t size) {
    if (counting.load()) allocations++;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* allocateNoThrow(std::size_t size) noexcept {
    if (counting.load()) allocations++;
    return std::malloc(size ? size : 1);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateNoThrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateNoThrow(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

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
