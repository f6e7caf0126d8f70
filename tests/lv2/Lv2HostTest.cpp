// The LV2 bundle loaded through lilv, played and saved as an LV2 host does,
// against the VST 2 plug-in given the same kit and notes.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "lv2/Kit.h"
#include "lv2/Lv2Host.h"

using namespace lv2test;

namespace {

const uint32_t kMaxBlock = 4096;

bool sameBlock(const Block& a, const Block& b) {
    for (int k = 0; k < kOutputs; k++)
        if (std::memcmp(a.data[k].data(), b.data[k].data(), sizeof(float) * a.frames) != 0) return false;
    return true;
}

bool silent(const Block& b) {
    for (int k = 0; k < kOutputs; k++)
        for (float x : b.data[k])
            if (x != 0.0f) return false;
    return true;
}

class Lv2Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(lv2.ok()) << "the bundle at " << KZ_LV2_BUNDLE << " does not instantiate";
        ASSERT_TRUE(vst.ok());
    }
    void load(const Bytes& chunk) {
        ASSERT_EQ(lv2.restoreChunk(chunk), LV2_STATE_SUCCESS);
        vst.setChunk(chunk);
    }
    // Plays one block on both; false when any sample differs.
    bool playBoth(uint32_t frames, const std::vector<Event>& lv2Events, const std::vector<Event>& vstEvents) {
        Block a(frames), b(frames);
        lv2.run(a, lv2Events);
        vst.run(b, vstEvents);
        heard = heard || !silent(a);
        return sameBlock(a, b);
    }
    bool playBoth(uint32_t frames, const std::vector<Event>& events) { return playBoth(frames, events, events); }

    Kit kit;
    Lv2Plugin lv2{KZ_LV2_BUNDLE, 48000.0};
    VstPlugin vst{KZ_VST_PLUGIN, 48000.0, kMaxBlock};
    bool heard = false;
};

// ---- Audio

TEST_F(Lv2Test, EveryOutputSampleEqualsTheVst2PluginOverMixedBlocks) {
    load(kit.bytes());
    const uint32_t sizes[] = {1, 64, 100, 512, 4096, 1, 1, 100, 64, 512, 333, 4096, 1, 64, 100, 512};
    const int notes[] = {kKick, kSnare, kHat, kBankPad, kTom, kMissing, kSnare, kKick};
    int next = 0;
    for (int round = 0; round < 3; round++) {
        for (uint32_t frames : sizes) {
            std::vector<Event> events;
            // On both edges of the block and inside it, on several channels.
            const int velocity = 30 + next % 90;
            events.push_back(noteOn(0, notes[next++ % 8], velocity));
            if (frames > 2) events.push_back({frames / 2, {uint8_t(0x91), uint8_t(notes[next++ % 8]), 127}, 3});
            if (frames > 1) events.push_back(noteOn(frames - 1, notes[next++ % 8], 64));
            events.push_back({frames - 1, {0x80, uint8_t(kKick), 0}, 3});
            ASSERT_TRUE(playBoth(frames, events)) << "block of " << frames << " in round " << round;
        }
        // All notes off, then ring-out blocks without events.
        ASSERT_TRUE(playBoth(64, {{10, {0xB0, 123, 0}, 3}}));
        ASSERT_TRUE(playBoth(100, {}));
    }
    EXPECT_TRUE(heard);
}

TEST_F(Lv2Test, MessagesThatAreNoChannelMessagesAreLeftOut) {
    load(kit.bytes());
    // Real time, system and stray data bytes before a note: only the note plays.
    std::vector<Event> lv2Events = {
        {0, {0xF8, 0, 0}, 1}, {3, {0xF2, 1, 2}, 3}, {5, {0x24, 100, 0}, 2}, noteOn(7, kKick)};
    ASSERT_TRUE(playBoth(256, lv2Events, {noteOn(7, kKick)}));
    EXPECT_TRUE(heard);
}

TEST_F(Lv2Test, MoreEventsThanOneListHoldsSplitTheBlockAndKeepTheirFrames) {
    load(kit.bytes());
    // Note-offs fill the list (the instrument ignores them); the notes around
    // and after the splits must still start on their own frames.
    std::vector<Event> crowded, notes;
    for (uint32_t i = 0; i < 700; i++) {
        const uint32_t frame = i * 512 / 700;
        crowded.push_back({frame, {0x80, 60, 0}, 3});
        if (i == 5 || i == 300 || i == 301 || i == 600) {
            const Event e = noteOn(frame, i == 600 ? kHat : kKick, 90);
            crowded.push_back(e);
            notes.push_back(e);
        }
    }
    ASSERT_TRUE(playBoth(512, crowded, notes));
    // A crowd on one frame, with the note last.
    std::vector<Event> sameFrame;
    for (int i = 0; i < 600; i++) sameFrame.push_back({0, {0x80, 60, 0}, 3});
    sameFrame.push_back(noteOn(0, kTom));
    sameFrame.push_back(noteOn(0, kSnare));
    ASSERT_TRUE(playBoth(100, sameFrame, {noteOn(0, kTom), noteOn(0, kSnare)}));
    for (int i = 0; i < 20; i++) ASSERT_TRUE(playBoth(512, {}));
    EXPECT_TRUE(heard);
}

// ---- State

TEST_F(Lv2Test, SavedStateIsTheVst2ChunkUnderOneKey) {
    EXPECT_EQ(lv2.savedChunk(), vst.chunk());
    load(kit.bytes());
    std::vector<Property> stored;
    ASSERT_EQ(lv2.save(stored), LV2_STATE_SUCCESS);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].key, lv2.urids().id(kChunkKey));
    EXPECT_EQ(stored[0].type, lv2.urids().id(LV2_ATOM__Chunk));
    EXPECT_EQ(stored[0].flags, uint32_t(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
    ASSERT_EQ(stored[0].value.size(), kitformat::kChunkSize);
    EXPECT_EQ(stored[0].value, vst.chunk());
    // The kit's real paths came through as they were given.
    EXPECT_STREQ(reinterpret_cast<const char*>(stored[0].value.data() + kitformat::kChunkPadOffset),
                 (kit.folder / "kick.wav").c_str());
}

TEST_F(Lv2Test, MalformedStatesChangeNothing) {
    load(kit.bytes());
    const Bytes before = lv2.savedChunk();
    Kit other;
    other.chunk.pads[0].settings.volume = 0.1f;
    const Bytes good = other.bytes();
    const LV2_URID key = lv2.urids().id(kChunkKey);
    const LV2_URID chunkType = lv2.urids().id(LV2_ATOM__Chunk);
    const uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;

    EXPECT_EQ(lv2.restore({{key, good, lv2.urids().id(LV2_ATOM__String), flags}}), LV2_STATE_ERR_BAD_TYPE);
    EXPECT_EQ(lv2.savedChunk(), before);
    for (size_t size : {size_t(0), kitformat::kChunkSize - 1, kitformat::kChunkSize + 1}) {
        Bytes resized = good;
        resized.resize(size);
        EXPECT_NE(lv2.restore({{key, resized, chunkType, flags}}), LV2_STATE_SUCCESS) << size;
        EXPECT_EQ(lv2.savedChunk(), before) << size;
    }
    Bytes badMagic = good;
    badMagic[0] ^= 0x20;
    EXPECT_NE(lv2.restore({{key, badMagic, chunkType, flags}}), LV2_STATE_SUCCESS);
    EXPECT_EQ(lv2.savedChunk(), before);
    // A state without the key (another plug-in's, or an empty one).
    EXPECT_EQ(lv2.restore({{lv2.urids().id("urn:morvantic:kz318#other"), good, chunkType, flags}}), LV2_STATE_SUCCESS);
    EXPECT_EQ(lv2.restore({}), LV2_STATE_SUCCESS);
    EXPECT_EQ(lv2.savedChunk(), before);
    // The good one still goes in.
    EXPECT_EQ(lv2.restoreChunk(good), LV2_STATE_SUCCESS);
    EXPECT_NE(lv2.savedChunk(), before);
}

// A host's path mapping: files under `folder` are stored relative to it as
// "kit:NAME"; every string handed out is counted until freed.
struct FakePaths {
    std::string folder;
    int handedOut = 0;
    int freed = 0;
    size_t fixedLength = 0;  // when set, every abstract path is this long
    LV2_State_Map_Path map = {this, abstractPath, absolutePath};
    LV2_State_Free_Path release = {this, freePath};
    LV2_Feature mapFeature = {LV2_STATE__mapPath, &map};
    LV2_Feature freeFeature = {LV2_STATE__freePath, &release};

    static char* handOut(void* handle, const std::string& s) {
        static_cast<FakePaths*>(handle)->handedOut++;
        return strdup(s.c_str());
    }
    static char* abstractPath(LV2_State_Map_Path_Handle handle, const char* path) {
        FakePaths* self = static_cast<FakePaths*>(handle);
        if (self->fixedLength) return handOut(handle, std::string(self->fixedLength, 'x'));
        const std::string p(path), prefix = self->folder + "/";
        return handOut(handle, p.compare(0, prefix.size(), prefix) == 0 ? "kit:" + p.substr(prefix.size()) : p);
    }
    static char* absolutePath(LV2_State_Map_Path_Handle handle, const char* path) {
        FakePaths* self = static_cast<FakePaths*>(handle);
        const std::string p(path);
        return handOut(handle, p.compare(0, 4, "kit:") == 0 ? self->folder + "/" + p.substr(4) : p);
    }
    static void freePath(LV2_State_Free_Path_Handle handle, char* path) {
        static_cast<FakePaths*>(handle)->freed++;
        std::free(path);
    }
};

const char* padPath(const Bytes& chunk, int pad) {
    return reinterpret_cast<const char*>(chunk.data() + kitformat::kChunkPadOffset + kitformat::kChunkPadRecord * pad);
}
const char* bankPath(const Bytes& chunk) { return reinterpret_cast<const char*>(chunk.data() + 4); }

TEST_F(Lv2Test, MappedPathsAreStoredAbstractAndRestoredAbsolute) {
    load(kit.bytes());
    const Bytes plain = lv2.savedChunk();
    ASSERT_EQ(plain.size(), kitformat::kChunkSize);
    ASSERT_EQ(padPath(plain, 5)[0], '_');

    FakePaths saving;
    saving.folder = kit.folder.path();
    std::vector<Property> stored;
    ASSERT_EQ(lv2.save(stored, {&saving.mapFeature, &saving.freeFeature}), LV2_STATE_SUCCESS);
    ASSERT_EQ(stored.size(), 1u);
    const Bytes& mapped = stored[0].value;
    EXPECT_STREQ(bankPath(mapped), "kit:kit.kbk");
    EXPECT_STREQ(padPath(mapped, 0), "kit:kick.wav");
    EXPECT_STREQ(padPath(mapped, 1), "kit:snare.wav");
    EXPECT_STREQ(padPath(mapped, 2), "kit:hat.wav");
    EXPECT_STREQ(padPath(mapped, 3), "kit:kick.wav");
    EXPECT_STREQ(padPath(mapped, 4), "kit:missing.wav");
    // Marked and empty paths, and everything but the paths, are as they were.
    EXPECT_EQ(0, std::memcmp(padPath(mapped, 5), padPath(plain, 5), kitformat::kPathField));
    EXPECT_EQ(0, std::memcmp(padPath(mapped, 6), padPath(plain, 6), kitformat::kPathField));
    for (int pad = 0; pad < kitformat::kPads; pad++)
        EXPECT_EQ(0,
                  std::memcmp(padPath(mapped, pad) + kitformat::kPathField, padPath(plain, pad) + kitformat::kPathField,
                              kitformat::kChunkPadRecord - kitformat::kPathField));
    EXPECT_EQ(saving.handedOut, 6);
    EXPECT_EQ(saving.freed, 6);

    // The project moved: the same files in another folder.
    Kit moved;
    Lv2Plugin second(KZ_LV2_BUNDLE, 48000.0);
    ASSERT_TRUE(second.ok());
    FakePaths loading;
    loading.folder = moved.folder.path();
    ASSERT_EQ(second.restore({{second.urids().id(kChunkKey), mapped, second.urids().id(LV2_ATOM__Chunk), 3}},
                             {&loading.mapFeature, &loading.freeFeature}),
              LV2_STATE_SUCCESS);
    EXPECT_EQ(loading.freed, loading.handedOut);
    EXPECT_EQ(second.savedChunk(), moved.bytes());
    // And it plays as the original.
    vst.setChunk(moved.bytes());
    Block a(512), b(512);
    second.run(a, {noteOn(0, kKick), noteOn(9, kBankPad), noteOn(20, kHat)});
    vst.run(b, {noteOn(0, kKick), noteOn(9, kBankPad), noteOn(20, kHat)});
    EXPECT_TRUE(sameBlock(a, b));
    EXPECT_FALSE(silent(a));
}

TEST_F(Lv2Test, PathsTheFieldCannotHoldStayAsTheyWere) {
    load(kit.bytes());
    const Bytes plain = lv2.savedChunk();
    for (size_t length : {kitformat::kPathField - 1, kitformat::kPathField, size_t(300)}) {
        FakePaths paths;
        paths.fixedLength = length;
        std::vector<Property> stored;
        ASSERT_EQ(lv2.save(stored, {&paths.mapFeature, &paths.freeFeature}), LV2_STATE_SUCCESS);
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(paths.freed, paths.handedOut);
        if (length < kitformat::kPathField) {
            // The longest that fits, with its terminator.
            EXPECT_EQ(std::string(padPath(stored[0].value, 0)), std::string(length, 'x'));
            EXPECT_EQ(std::string(bankPath(stored[0].value)), std::string(length, 'x'));
        } else {
            EXPECT_EQ(stored[0].value, plain) << length;
        }
    }
}

TEST_F(Lv2Test, WithoutFreePathTheMappedStringsAreFreed) {
    // Run under the address sanitizer, a wrong release shows here.
    load(kit.bytes());
    FakePaths paths;
    paths.folder = kit.folder.path();
    std::vector<Property> stored;
    ASSERT_EQ(lv2.save(stored, {&paths.mapFeature}), LV2_STATE_SUCCESS);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_STREQ(padPath(stored[0].value, 0), "kit:kick.wav");
    EXPECT_EQ(paths.freed, 0);
    EXPECT_EQ(lv2.restore(stored, {&paths.mapFeature}), LV2_STATE_SUCCESS);
    EXPECT_EQ(lv2.savedChunk(), kit.bytes());
}

// ---- Threads

TEST_F(Lv2Test, RestoreOnAnotherThreadWhileBlocksRun) {
    Kit second;
    second.chunk.pads[0].settings.volume = 0.2f;
    second.chunk.pads[2].path[0] = 0;
    const Bytes kits[2] = {kit.bytes(), second.bytes()};
    ASSERT_EQ(lv2.restoreChunk(kits[0]), LV2_STATE_SUCCESS);
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};
    std::thread loader([&] {
        for (int i = 1; i <= 12; i++)
            if (lv2.restoreChunk(kits[i % 2]) != LV2_STATE_SUCCESS) failures++;
        done = true;
    });
    int blocks = 0;
    while (!done || blocks < 50) {
        Block out(blocks % 3 == 0 ? 64 : 100);
        lv2.run(out, {noteOn(0, kKick), noteOn(out.frames - 1, kHat)});
        blocks++;
    }
    loader.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(lv2.savedChunk(), kits[0]);
}

}  // namespace
