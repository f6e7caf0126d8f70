#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "face/EventBatcher.h"
#include "face/Face.h"
#include "support/AudioKit.h"
#include "unit/face/RecordingEffect.h"

namespace {

using face::EventBatcher;
using facetest::Call;
using facetest::RecordingEffect;

const int kCapacity = EventBatcher::kCapacity;

struct Buffers {
    explicit Buffers(uint32_t frames) {
        for (int i = 0; i < facetest::kChannels; i++) {
            data[i].assign(frames, 0.0f);
            ptrs[i] = data[i].data();
        }
    }
    std::vector<float> data[facetest::kChannels];
    float* ptrs[facetest::kChannels];
};

const uint8_t kNote[3] = {0x90, 60, 100};

// The calls of one block: begin, the (frame, message) pairs, finish.
std::vector<Call> batch(uint32_t frames, const std::vector<int64_t>& stamps, float* const* outputs = nullptr) {
    RecordingEffect effect;
    auto batcher = std::make_unique<EventBatcher>();
    batcher->begin(effect.get(), outputs, frames);
    for (int64_t stamp : stamps) batcher->add(stamp, kNote, 3);
    batcher->finish();
    return effect.calls;
}

std::vector<VstInt32> deltas(const Call& call) {
    std::vector<VstInt32> out;
    for (const auto& m : call.events) out.push_back(m.deltaFrames);
    return out;
}

TEST(EventBatcher, HandsABlockOverInOneListAndRendersItInOneCall) {
    Buffers out(512);
    const std::vector<Call> calls = batch(512, {0, 100, 100, 7, 511}, out.ptrs);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FALSE(calls[0].render);
    EXPECT_EQ(calls[0].opcode, effProcessEvents);
    // Frames as given, in the order given: the instrument sorts nothing out.
    EXPECT_EQ(deltas(calls[0]), (std::vector<VstInt32>{0, 100, 100, 7, 511}));
    for (const auto& m : calls[0].events) {
        EXPECT_EQ(m.type, kVstMidiType);
        EXPECT_EQ(m.byteSize, static_cast<VstInt32>(sizeof(VstMidiEvent)));
        EXPECT_EQ(m.bytes[0], 0x90);
        EXPECT_EQ(m.bytes[1], 60);
        EXPECT_EQ(m.bytes[2], 100);
        EXPECT_EQ(m.bytes[3], 0);
    }
    ASSERT_TRUE(calls[1].render);
    EXPECT_EQ(calls[1].frames, 512);
    for (int i = 0; i < facetest::kChannels; i++) EXPECT_EQ(calls[1].outputs[i], out.ptrs[i]);
}

TEST(EventBatcher, ABlockWithoutEventsOnlyRenders) {
    const std::vector<Call> calls = batch(64, {});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].render);
    EXPECT_EQ(calls[0].frames, 64);
}

TEST(EventBatcher, AFullListIsNotSplit) {
    std::vector<int64_t> stamps;
    for (int i = 0; i < kCapacity; i++) stamps.push_back(i);
    const std::vector<Call> calls = batch(1024, stamps);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].events.size(), size_t(kCapacity));
    EXPECT_EQ(calls[1].frames, 1024);
}

TEST(EventBatcher, SplitsWhereTheEventPastTheListArrivesAndTimesTheRestFromThere) {
    Buffers out(1024);
    std::vector<int64_t> stamps;
    for (int i = 0; i < kCapacity; i++) stamps.push_back(i / 2);
    // Past the list: at 300, then one stamped before the split (it plays at
    // the split), then 1000.
    stamps.push_back(300);
    stamps.push_back(10);
    stamps.push_back(1000);
    const std::vector<Call> calls = batch(1024, stamps, out.ptrs);
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].events.size(), size_t(kCapacity));
    EXPECT_EQ(calls[0].events.back().deltaFrames, (kCapacity - 1) / 2);
    ASSERT_TRUE(calls[1].render);
    EXPECT_EQ(calls[1].frames, 300);
    EXPECT_EQ(calls[1].outputs[0], out.ptrs[0]);
    EXPECT_EQ(deltas(calls[2]), (std::vector<VstInt32>{0, 0, 700}));
    ASSERT_TRUE(calls[3].render);
    EXPECT_EQ(calls[3].frames, 1024 - 300);
    for (int i = 0; i < facetest::kChannels; i++) EXPECT_EQ(calls[3].outputs[i], out.ptrs[i] + 300);
}

TEST(EventBatcher, SplitsAgainEachTimeTheListFills) {
    std::vector<int64_t> stamps;
    for (int i = 0; i < 3 * kCapacity + 1; i++) stamps.push_back(i);
    const std::vector<Call> calls = batch(4096, stamps);
    int lists = 0, rendered = 0;
    for (const Call& c : calls) {
        if (c.render) {
            rendered += c.frames;
        } else {
            EXPECT_EQ(c.events.size(), size_t(lists++ < 3 ? kCapacity : 1));
        }
    }
    EXPECT_EQ(lists, 4);
    EXPECT_EQ(rendered, 4096);
}

TEST(EventBatcher, FramesOutsideTheBlockPlayOnItsNearestFrame) {
    const std::vector<Call> calls = batch(256, {-1, -1000000, 256, 257, INT64_MAX, INT64_MIN, 255});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(deltas(calls[0]), (std::vector<VstInt32>{0, 0, 255, 255, 255, 0, 255}));
    EXPECT_EQ(calls[1].frames, 256);
}

TEST(EventBatcher, AnEmptyBlockHandsItsEventsOverAndRendersNothing) {
    const std::vector<Call> calls = batch(0, {0, 5});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(deltas(calls[0]), (std::vector<VstInt32>{0, 0}));
}

TEST(EventBatcher, OnlyChannelMessagesGoToTheInstrument) {
    RecordingEffect effect;
    auto batcher = std::make_unique<EventBatcher>();
    batcher->begin(effect.get(), nullptr, 128);
    const uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    const uint8_t clock[] = {0xF8};
    const uint8_t reset[] = {0xFF};
    const uint8_t running[] = {60, 100};  // running status: no status byte
    const uint8_t noteOff[] = {0x80, 60, 0};
    const uint8_t pitchBend[] = {0xEF, 1, 2};
    batcher->add(1, sysex, sizeof sysex);
    batcher->add(2, clock, 1);
    batcher->add(3, reset, 1);
    batcher->add(4, running, 2);
    batcher->add(5, nullptr, 3);
    batcher->add(6, noteOff, 0);
    batcher->add(7, noteOff, 3);
    batcher->add(8, pitchBend, 3);
    batcher->finish();
    ASSERT_EQ(effect.calls.size(), 2u);
    ASSERT_EQ(effect.calls[0].events.size(), 2u);
    EXPECT_EQ(effect.calls[0].events[0].deltaFrames, 7);
    EXPECT_EQ(effect.calls[0].events[0].bytes[0], 0x80);
    EXPECT_EQ(effect.calls[0].events[1].deltaFrames, 8);
    EXPECT_EQ(effect.calls[0].events[1].bytes[0], 0xEF);
}

TEST(EventBatcher, KeepsThreeBytesAtMostAndZeroesTheRest) {
    RecordingEffect effect;
    auto batcher = std::make_unique<EventBatcher>();
    batcher->begin(effect.get(), nullptr, 16);
    const uint8_t longer[] = {0x90, 61, 90, 0x55, 0x66};
    const uint8_t program[] = {0xC3, 5, 0x77};  // size 2: the third byte is not the message's
    const uint8_t lone[] = {0x90, 0x11, 0x22};
    batcher->add(0, longer, sizeof longer);
    batcher->add(0, program, 2);
    batcher->add(0, lone, 1);
    batcher->finish();
    ASSERT_EQ(effect.calls[0].events.size(), 3u);
    const auto& e = effect.calls[0].events;
    EXPECT_EQ(std::vector<int>(e[0].bytes, e[0].bytes + 4), (std::vector<int>{0x90, 61, 90, 0}));
    EXPECT_EQ(std::vector<int>(e[1].bytes, e[1].bytes + 4), (std::vector<int>{0xC3, 5, 0, 0}));
    EXPECT_EQ(std::vector<int>(e[2].bytes, e[2].bytes + 4), (std::vector<int>{0x90, 0, 0, 0}));
}

TEST(EventBatcher, NullChannelsStayNullAcrossSplits) {
    Buffers out(512);
    float* outputs[facetest::kChannels];
    for (int i = 0; i < facetest::kChannels; i++) outputs[i] = i % 3 == 1 ? nullptr : out.ptrs[i];
    std::vector<int64_t> stamps(kCapacity + 1, 200);
    const std::vector<Call> calls = batch(512, stamps, outputs);
    ASSERT_EQ(calls.size(), 4u);
    for (int c : {1, 3}) {
        ASSERT_TRUE(calls[c].render);
        const int done = c == 1 ? 0 : 200;
        for (int i = 0; i < facetest::kChannels; i++)
            EXPECT_EQ(calls[c].outputs[i], outputs[i] ? outputs[i] + done : nullptr) << c << " " << i;
    }
    // No output array at all: every channel null.
    const std::vector<Call> bare = batch(512, {1});
    for (int i = 0; i < facetest::kChannels; i++) EXPECT_EQ(bare[1].outputs[i], nullptr);
}

TEST(EventBatcher, BeginForgetsTheLastBlock) {
    RecordingEffect effect;
    auto batcher = std::make_unique<EventBatcher>();
    Buffers out(64);
    batcher->begin(effect.get(), out.ptrs, 64);
    for (int i = 0; i < kCapacity + 3; i++) batcher->add(40, kNote, 3);
    batcher->finish();
    effect.calls.clear();
    batcher->begin(effect.get(), out.ptrs, 32);
    batcher->add(5, kNote, 3);
    batcher->finish();
    ASSERT_EQ(effect.calls.size(), 2u);
    EXPECT_EQ(deltas(effect.calls[0]), (std::vector<VstInt32>{5}));
    EXPECT_EQ(effect.calls[1].frames, 32);
    EXPECT_EQ(effect.calls[1].outputs[0], out.ptrs[0]);
}

// The real instrument with samples on four pads (notes 48..51).
class Instrument {
public:
    Instrument() {
        effect = face::openPlugin(info);
        if (!effect) return;
        face::setupPlugin(effect, 44100.0, 4096);
        face::dispatch(effect, effMainsChanged, 0, 1);
        DrumInstrument& d = *static_cast<DrumInstrument*>(static_cast<EffectBase*>(effect->object));
        for (int pad = 0; pad < 4; pad++) audiokit::placeSample(d, pad, 700 + 450 * pad);
        d.pads[2].pan = 0.2f;
        d.pads[3].output = 2;
    }
    ~Instrument() { face::closePlugin(effect); }
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    face::HostInfo info;
    AEffect* effect = nullptr;
};

TEST(EventBatcher, PlaysABlockAsOneProcessEventsAndOneRenderOfTheSameRecord) {
    Instrument batched, direct;
    ASSERT_TRUE(batched.effect && direct.effect);
    auto batcher = std::make_unique<EventBatcher>();
    audiokit::Events list;
    const uint8_t sysex[] = {0xF0, 1, 0xF7};
    for (uint32_t block = 0; block < 6; block++) {
        const uint32_t frames = block == 3 ? 1 : 300 + 97 * block;
        audiokit::Outputs got(int(frames), 0.25f), want(int(frames), 0.75f);
        float* channels[kNumOutputs];
        for (int i = 0; i < kNumOutputs; i++) channels[i] = got.ptrs[i];
        channels[5] = nullptr;
        want.ptrs[5] = nullptr;
        batcher->begin(batched.effect, channels, frames);
        list.clear();
        for (int n = 0; n < 12; n++) {
            // Out of order, repeated notes, one frame shared: as a host may send them.
            const uint32_t frame = uint32_t(n * 7919 + block * 13) % frames;
            const uint8_t note[3] = {uint8_t(0x90 | (n & 1)), uint8_t(48 + n % 4), uint8_t(30 + 8 * n)};
            batcher->add(frame, note, 3);
            batcher->add(frame, sysex, sizeof sysex);
            list.midi(note[0], note[1], note[2], int(frame));
        }
        batcher->finish();
        face::dispatch(direct.effect, effProcessEvents, 0, 0, list.get());
        direct.effect->processReplacing(direct.effect, nullptr, want.ptrs, VstInt32(frames));
        for (int i = 0; i < kNumOutputs; i++) {
            if (i == 5) continue;
            EXPECT_EQ(0, std::memcmp(got.data[i].data(), want.data[i].data(), sizeof(float) * frames))
                << "block " << block << " output " << i;
        }
        // The null channel's own buffer is never written.
        for (float v : got.data[5]) ASSERT_EQ(v, 0.25f);
    }
}

TEST(EventBatcher, ASplitBlockPlaysAsTwoHostCallsAtTheSplit) {
    Instrument batched, direct;
    ASSERT_TRUE(batched.effect && direct.effect);
    auto batcher = std::make_unique<EventBatcher>();
    const uint32_t frames = 2048;
    audiokit::Outputs got{int(frames)}, want{int(frames)};
    batcher->begin(batched.effect, got.ptrs, frames);
    // A full list of note-offs that change nothing, then notes past it.
    const uint8_t off[3] = {0x80, 48, 0};
    for (int i = 0; i < kCapacity; i++) batcher->add(10, off, 3);
    const uint8_t a[3] = {0x90, 49, 100}, b[3] = {0x90, 51, 64};
    batcher->add(500, a, 3);
    batcher->add(900, b, 3);
    batcher->finish();

    audiokit::Events first, second;
    first.midi(0x80, 48, 0, 10);
    face::dispatch(direct.effect, effProcessEvents, 0, 0, first.get());
    direct.effect->processReplacing(direct.effect, nullptr, want.ptrs, 500);
    second.midi(0x90, 49, 100, 0).midi(0x90, 51, 64, 400);
    face::dispatch(direct.effect, effProcessEvents, 0, 0, second.get());
    float* rest[kNumOutputs];
    for (int i = 0; i < kNumOutputs; i++) rest[i] = want.ptrs[i] + 500;
    direct.effect->processReplacing(direct.effect, nullptr, rest, VstInt32(frames - 500));
    EXPECT_TRUE(got.equals(want));
    bool sounded = false;
    for (float v : got.data[0]) sounded = sounded || v != 0.0f;
    EXPECT_TRUE(sounded);
}

}  // namespace
