#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "face/ChunkState.h"
#include "face/Face.h"
#include "formats/KitFormats.h"
#include "support/FakeServices.h"
#include "unit/face/RecordingEffect.h"

namespace {

using facetest::RecordingEffect;

std::vector<uint8_t> goodChunk() {
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(kitformat::defaultChunk(), bytes.data());
    return bytes;
}

TEST(ChunkState, IsChunkWantsTheWholeChunkWithItsMagic) {
    std::vector<uint8_t> chunk = goodChunk();
    EXPECT_TRUE(face::isChunk(chunk.data(), chunk.size()));
    EXPECT_FALSE(face::isChunk(nullptr, chunk.size()));
    for (size_t size : {size_t(0), size_t(4), kitformat::kChunkSize - 1, kitformat::kChunkSize + 1})
        EXPECT_FALSE(face::isChunk(chunk.data(), size)) << size;
    for (size_t at = 0; at < 4; at++) {
        std::vector<uint8_t> bad = chunk;
        bad[at] ^= 0x20;
        EXPECT_FALSE(face::isChunk(bad.data(), bad.size())) << at;
    }
}

TEST(ChunkState, RestoreRefusesABadChunkWithoutReachingTheInstrument) {
    RecordingEffect effect;
    std::vector<uint8_t> chunk = goodChunk();
    std::vector<uint8_t> longer = chunk;
    longer.push_back(0);
    std::vector<uint8_t> wrongMagic = chunk;
    wrongMagic[3] = '4';
    EXPECT_FALSE(face::restoreChunk(effect.get(), chunk.data(), chunk.size() - 1));
    EXPECT_FALSE(face::restoreChunk(effect.get(), longer.data(), longer.size()));
    EXPECT_FALSE(face::restoreChunk(effect.get(), wrongMagic.data(), wrongMagic.size()));
    EXPECT_FALSE(face::restoreChunk(effect.get(), nullptr, chunk.size()));
    EXPECT_TRUE(effect.calls.empty());

    ASSERT_TRUE(face::restoreChunk(effect.get(), chunk.data(), chunk.size()));
    ASSERT_EQ(effect.calls.size(), 1u);
    EXPECT_EQ(effect.calls[0].opcode, effSetChunk);
    EXPECT_EQ(effect.calls[0].value, VstIntPtr(kitformat::kChunkSize));
}

// The instrument itself shows a message for a chunk it cannot read: a face
// must never let one through.
TEST(ChunkState, TheInstrumentNeverShowsAMessageForAStateTheFaceRefused) {
    testsupport::ScopedFakeServices fake;
    face::HostInfo info;
    AEffect* effect = face::openPlugin(info);
    ASSERT_NE(effect, nullptr);
    std::vector<uint8_t> chunk = goodChunk();
    chunk[0] = 'K';
    EXPECT_FALSE(face::restoreChunk(effect, chunk.data(), chunk.size()));
    EXPECT_TRUE(fake.messages.empty());
    face::dispatch(effect, effSetChunk, 0, VstIntPtr(chunk.size()), chunk.data());
    EXPECT_EQ(fake.messages.size(), 1u);  // what the check keeps away
    face::closePlugin(effect);
}

TEST(ChunkState, SavesAndRestoresTheInstrumentsChunk) {
    face::HostInfo info;
    AEffect* a = face::openPlugin(info);
    AEffect* b = face::openPlugin(info);
    ASSERT_TRUE(a && b);
    kitformat::Chunk kit = kitformat::defaultChunk();
    kit.pads[3].settings.volume = 0.25f;
    kit.pads[9].settings.midiNote = 70;
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(kit, bytes.data());
    ASSERT_TRUE(face::restoreChunk(a, bytes.data(), bytes.size()));
    std::vector<uint8_t> saved = {1, 2, 3};
    ASSERT_TRUE(face::saveChunk(a, saved));
    EXPECT_EQ(saved, bytes);
    ASSERT_TRUE(face::restoreChunk(b, saved.data(), saved.size()));
    std::vector<uint8_t> again;
    ASSERT_TRUE(face::saveChunk(b, again));
    EXPECT_EQ(again, bytes);
    face::closePlugin(a);
    face::closePlugin(b);
}

TEST(ChunkState, SaveGivesNothingWhenTheInstrumentGivesNothing) {
    RecordingEffect effect;
    std::vector<uint8_t> out = {1, 2, 3};
    EXPECT_FALSE(face::saveChunk(effect.get(), out));
    EXPECT_TRUE(out.empty());
    uint8_t byte = 7;
    effect.chunkData = &byte;
    effect.chunkSize = 0;
    out = {1};
    EXPECT_FALSE(face::saveChunk(effect.get(), out));
    EXPECT_TRUE(out.empty());
    effect.chunkSize = 1;
    ASSERT_TRUE(face::saveChunk(effect.get(), out));
    EXPECT_EQ(out, std::vector<uint8_t>{7});
}

// A host stream that hands out at most `step` bytes a call, and fails with
// `error` after `failAt` bytes.
struct Stream {
    std::vector<uint8_t> data;
    size_t at = 0;
    long long step = 3;
    size_t failAt = SIZE_MAX;
    long long error = -1;
    int calls = 0;
    long long operator()(uint8_t* to, long long count) {
        calls++;
        if (at >= failAt) return error;
        const long long n = std::min<long long>({count, step, static_cast<long long>(data.size() - at)});
        if (n > 0) std::memcpy(to, data.data() + at, static_cast<size_t>(n));
        at += static_cast<size_t>(n);
        return n;
    }
};

std::vector<uint8_t> pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; i++) bytes[i] = static_cast<uint8_t>(i * 31 + i / 256);
    return bytes;
}

bool readAll(Stream& stream, std::vector<uint8_t>& out, size_t limit) {
    return face::readWholeStream([&](uint8_t* to, long long count) { return stream(to, count); }, out, limit);
}

TEST(ReadWholeStream, GathersAStreamThatGivesThreeBytesAtATime) {
    Stream stream;
    stream.data = pattern(kitformat::kChunkSize);
    std::vector<uint8_t> out = {9, 9};
    ASSERT_TRUE(readAll(stream, out, kitformat::kChunkSize));
    EXPECT_EQ(out, stream.data);
    EXPECT_EQ(stream.calls, int(kitformat::kChunkSize / 3) + 1);
    // And in the largest pieces it asks for.
    Stream whole;
    whole.data = stream.data;
    whole.step = 1 << 20;
    ASSERT_TRUE(readAll(whole, out, SIZE_MAX));
    EXPECT_EQ(out, stream.data);
}

TEST(ReadWholeStream, AnEmptyStreamGivesNoBytes) {
    Stream stream;
    std::vector<uint8_t> out = {1};
    EXPECT_TRUE(readAll(stream, out, 0));
    EXPECT_TRUE(out.empty());
}

TEST(ReadWholeStream, FailsOnAReadError) {
    for (long long error : {-1LL, -1000LL}) {
        Stream stream;
        stream.data = pattern(100);
        stream.failAt = 51;  // inside a piece of three
        stream.error = error;
        std::vector<uint8_t> out;
        EXPECT_FALSE(readAll(stream, out, 1000)) << error;
    }
}

TEST(ReadWholeStream, FailsOnAReadClaimingMoreThanItWasGiven) {
    std::vector<uint8_t> out;
    EXPECT_FALSE(face::readWholeStream([](uint8_t*, long long count) { return count + 1; }, out, SIZE_MAX));
}

TEST(WriteWholeStream, HandsOverEveryByteInTheSmallPiecesAStreamTakes) {
    const std::vector<uint8_t> data = pattern(kitformat::kChunkSize);
    std::vector<uint8_t> taken;
    int calls = 0;
    const auto threeAtATime = [&](const uint8_t* bytes, long long count) -> long long {
        calls++;
        const long long n = std::min<long long>(count, 3);
        taken.insert(taken.end(), bytes, bytes + n);
        return n;
    };
    ASSERT_TRUE(face::writeWholeStream(threeAtATime, data));
    EXPECT_EQ(taken, data);
    EXPECT_EQ(calls, int(kitformat::kChunkSize / 3));
    // A stream that fails, takes nothing or claims more than it was offered.
    for (long long answer : {-1LL, 0LL}) {
        const auto broken = [&](const uint8_t*, long long) { return answer; };
        EXPECT_FALSE(face::writeWholeStream(broken, data)) << answer;
    }
    EXPECT_FALSE(face::writeWholeStream([](const uint8_t*, long long count) { return count + 1; }, data));
    EXPECT_TRUE(face::writeWholeStream([](const uint8_t*, long long) { return -1LL; }, std::vector<uint8_t>()));
}

TEST(ReadWholeStream, StopsAtTheLimit) {
    Stream exact;
    exact.data = pattern(5000);
    std::vector<uint8_t> out;
    EXPECT_TRUE(readAll(exact, out, 5000));
    Stream over;
    over.data = pattern(5001);
    EXPECT_FALSE(readAll(over, out, 5000));
    // An endless stream ends at the limit, not when memory does.
    int calls = 0;
    EXPECT_FALSE(face::readWholeStream(
        [&](uint8_t* to, long long count) {
            calls++;
            std::memset(to, 0, size_t(count));
            return count;
        },
        out, 64 * 1024));
    EXPECT_LE(calls, 64 + 1);
}

}  // namespace
