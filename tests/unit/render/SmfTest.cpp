#include <gtest/gtest.h>

#include "render/Smf.h"

namespace {

void be32(std::vector<uint8_t>& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

std::vector<uint8_t> file(uint16_t format, uint16_t division, const std::vector<std::vector<uint8_t>>& tracks) {
    std::vector<uint8_t> b = {'M',
                              'T',
                              'h',
                              'd',
                              0,
                              0,
                              0,
                              6,
                              0,
                              static_cast<uint8_t>(format),
                              0,
                              static_cast<uint8_t>(tracks.size()),
                              static_cast<uint8_t>(division >> 8),
                              static_cast<uint8_t>(division)};
    for (const auto& t : tracks) {
        b.insert(b.end(), {'M', 'T', 'r', 'k'});
        be32(b, static_cast<uint32_t>(t.size()));
        b.insert(b.end(), t.begin(), t.end());
    }
    return b;
}

const std::vector<uint8_t> kEnd = {0x00, 0xFF, 0x2F, 0x00};

std::vector<uint8_t> track(std::vector<uint8_t> body) {
    body.insert(body.end(), kEnd.begin(), kEnd.end());
    return body;
}

TEST(Smf, NotesLandOnExactFramesWithRunningStatusAndTempoChanges) {
    // 480 ticks per quarter; 120 BPM, then 60 BPM from tick 960.
    auto tempo = track({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,          // 500000 us
                        0x87, 0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40});  // at 960: 1000000 us
    auto drums = track({0x00, 0x99, 48, 100,                               // tick 0
                        0x83, 0x60, 49, 90,                                // tick 480, running status
                        0x83, 0x60, 0x89, 48, 0,                           // tick 960 note off
                        0x83, 0x60, 0x99, 50, 80});                        // tick 1440
    smf::Song song;
    std::string error;
    ASSERT_TRUE(smf::parse(file(1, 480, {tempo, drums}), 44100, song, error)) << error;
    ASSERT_EQ(song.events.size(), 4u);
    EXPECT_EQ(song.events[0].frame, 0);
    EXPECT_EQ(song.events[1].frame, 22050);
    EXPECT_EQ(song.events[1].bytes[0], 0x99);
    EXPECT_EQ(song.events[1].bytes[1], 49);
    EXPECT_EQ(song.events[2].frame, 44100);
    EXPECT_EQ(song.events[3].frame, 88200);  // 1 s at 120 BPM, then 480 ticks at 60 BPM
}

TEST(Smf, FormatZeroAndProgramChangesWithOneDataByte) {
    auto t = track({0x00, 0xC0, 5, 0x00, 0x90, 60, 100, 0x60, 0xF0, 0x02, 0x01, 0xF7, 0x00, 0x80, 60, 0});
    smf::Song song;
    std::string error;
    ASSERT_TRUE(smf::parse(file(0, 96, {t}), 48000, song, error)) << error;
    ASSERT_EQ(song.events.size(), 3u);
    EXPECT_EQ(song.events[0].bytes[0], 0xC0);
    EXPECT_EQ(song.events[1].bytes[0], 0x90);
    EXPECT_EQ(song.events[2].frame, 24000);  // 96 ticks at 120 BPM
}

TEST(Smf, MalformedFilesGiveAReason) {
    smf::Song song;
    std::string error;
    auto good = file(1, 480, {track({0x00, 0x90, 60, 100})});
    for (size_t cut : {size_t(3), size_t(13), size_t(20), good.size() - 6}) {
        std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(cut));
        error.clear();
        EXPECT_FALSE(smf::parse(truncated, 44100, song, error)) << cut;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(smf::parse(file(2, 480, {track({})}), 44100, song, error));
    EXPECT_FALSE(smf::parse(file(0, 480, {track({0x00, 60, 100})}), 44100, song, error));          // no status
    EXPECT_FALSE(smf::parse(file(0, 480, {{0xFF, 0xFF, 0xFF, 0xFF, 0x7F}}), 44100, song, error));  // bad varlen
}

}  // namespace

TEST(Smf, FramesStayExactWhereTheIntermediateProductPassesSixtyFourBits) {
    // One tick per quarter at the slowest tempo, events 2^28 - 1 ticks apart:
    // ticks x microseconds x rate passes 64 bits after the first event, and
    // ticks x microseconds alone after about 4100 events.
    std::vector<uint8_t> body = {0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF};
    const int kEvents = 4400;
    for (int i = 0; i < kEvents; i++) body.insert(body.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0x99, 36, 100});
    smf::Song song;
    std::string error;
    ASSERT_TRUE(smf::parse(file(0, 1, {track(body)}), 192000, song, error)) << error;
    ASSERT_EQ(song.events.size(), static_cast<size_t>(kEvents));
    int wrong = 0;
    for (int i = 0; i < kEvents; i++) {
        unsigned __int128 scaled = static_cast<unsigned __int128>(0x0FFFFFFFu) * (i + 1) * 0xFFFFFFu * 192000u;
        wrong += song.events[i].frame != static_cast<int64_t>((scaled + 500000u) / 1000000u);
    }
    EXPECT_EQ(wrong, 0);
}
