// The WAV files of a render, written block by block.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "render/Outputs.h"
#include "render/WavOut.h"
#include "support/TestFolder.h"

namespace {

using testsupport::testFile;

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::vector<float> samplesOf(const std::vector<uint8_t>& file) {
    std::vector<float> samples((file.size() - 58) / 4);
    std::memcpy(samples.data(), file.data() + 58, samples.size() * 4);
    return samples;
}

TEST(WavOut, FramesWrittenInPiecesArriveWholeUnderAHeaderThatCountsThem) {
    std::string path = testFile("pieces.wav");
    wavout::StereoFloatWriter w;
    ASSERT_TRUE(w.open(path, 48000));
    // Many times the writer's buffer, in pieces that do not divide it.
    std::vector<float> all;
    for (int piece = 0; piece < 700; piece++) {
        size_t frames = 1 + (piece * 331) % 2000;
        float* out = w.reserve(frames);
        for (size_t i = 0; i < 2 * frames; i++) {
            out[i] = static_cast<float>(all.size()) * 0.5f;
            all.push_back(out[i]);
        }
        ASSERT_TRUE(w.commit(frames));
    }
    ASSERT_TRUE(w.finish());
    std::vector<uint8_t> file = readFile(path);
    const uint32_t frames = static_cast<uint32_t>(all.size() / 2);
    ASSERT_EQ(file.size(), 58 + 8 * static_cast<size_t>(frames));
    wavout::Header h = wavout::header(frames, 48000);
    EXPECT_TRUE(std::equal(h.begin(), h.end(), file.begin()));
    EXPECT_EQ(le32(file, 4), file.size() - 8);
    EXPECT_EQ(le32(file, 24), 48000u);
    EXPECT_EQ(le32(file, 46), frames);  // fact: frames
    EXPECT_EQ(le32(file, 54), 8 * frames);
    EXPECT_EQ(samplesOf(file), all);
}

TEST(WavOut, AnUnfinishedFileIsRemoved) {
    std::string path = testFile("dropped.wav");
    {
        wavout::StereoFloatWriter w;
        ASSERT_TRUE(w.open(path, 44100));
        w.reserve(10)[0] = 1.0f;
        w.commit(10);
    }
    EXPECT_FALSE(std::ifstream(path).good());
}

// Eight channels of `frames` frames, channel c holding values(c, frame).
struct Block {
    std::vector<std::vector<float>> channels;
    const float* pointers[8];
    template <class F>
    Block(int frames, F values) : channels(8, std::vector<float>(static_cast<size_t>(frames))) {
        for (int c = 0; c < 8; c++) {
            for (int j = 0; j < frames; j++) channels[c][j] = values(c, j);
            pointers[c] = channels[c].data();
        }
    }
};

TEST(Outputs, TheMixAddsThePairsInOrderFromZero) {
    const float big = 1e8f, nan = std::numeric_limits<float>::quiet_NaN();
    // Left: big, 1, -big, 1 adds up to 1 in this order only. Right: four
    // negative zeros make a positive zero. Frame 2 of the right channel is
    // not a number, and the largest magnitude is -3 on the left at frame 6.
    Block block(7, [&](int c, int j) {
        if (c % 2 == 0) return j == 6 && c == 0 ? -3.0f : (c == 0 ? big : c == 4 ? -big : 1.0f);
        return j == 2 && c == 1 ? nan : -0.0f;
    });
    render::Outputs outputs;
    std::string error;
    ASSERT_TRUE(outputs.open(testFile("mix.wav"), false, 44100, error));
    ASSERT_TRUE(outputs.write(block.pointers, 7));
    ASSERT_TRUE(outputs.write(block.pointers, 3));  // a second block continues the file
    ASSERT_TRUE(outputs.finish(error));
    std::vector<float> mix = samplesOf(readFile(testFile("mix.wav")));
    ASSERT_EQ(mix.size(), 20u);
    for (size_t j = 0; j < 10; j++) {
        SCOPED_TRACE(j);
        const size_t frame = j < 7 ? j : j - 7;
        if (frame == 6)
            EXPECT_EQ(mix[2 * j], -3.0f + 1.0f - big + 1.0f);
        else
            EXPECT_EQ(mix[2 * j], 1.0f);
        if (frame == 2) {
            EXPECT_TRUE(std::isnan(mix[2 * j + 1]));
        } else {
            EXPECT_EQ(mix[2 * j + 1], 0.0f);
            EXPECT_FALSE(std::signbit(mix[2 * j + 1]));
        }
    }
    EXPECT_EQ(outputs.peak(), big);
    EXPECT_EQ(outputs.names(), std::vector<std::string>{testFile("mix.wav")});
}

TEST(Outputs, ThePeakIsTheLargestMagnitudeWhereverItFalls) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int channel : {0, 7})
        for (int at = 0; at < 11; at++) {
            SCOPED_TRACE("channel " + std::to_string(channel) + ", frame " + std::to_string(at));
            // -2 at one frame and a NaN four frames on, on one side; 1.5 on
            // the other side.
            const int other = channel == 0 ? 1 : 6;
            Block block(11, [&](int c, int j) {
                if (c == channel && j == at) return -2.0f;
                if (c == channel && j == (at + 4) % 11) return nan;
                return c == other && j == (at + 5) % 11 ? 1.5f : 0.0f;
            });
            render::Outputs outputs;
            std::string error;
            ASSERT_TRUE(outputs.open(testFile("peak.wav"), false, 44100, error));
            ASSERT_TRUE(outputs.write(block.pointers, 11));
            ASSERT_TRUE(outputs.finish(error));
            EXPECT_EQ(outputs.peak(), 2.0f);
        }
}

TEST(Outputs, StemsGetOnePairEach) {
    Block block(5, [](int c, int j) { return static_cast<float>(100 * c + j); });
    render::Outputs outputs;
    std::string error;
    ASSERT_TRUE(outputs.open(testFile("song.WAV"), true, 44100, error));
    ASSERT_TRUE(outputs.write(block.pointers, 5));
    ASSERT_TRUE(outputs.finish(error));
    ASSERT_EQ(outputs.names().size(), 4u);
    for (int pair = 0; pair < 4; pair++) {
        EXPECT_EQ(outputs.names()[pair], testFile("song-" + std::to_string(pair + 1) + ".wav"));
        std::vector<float> expected;
        for (int j = 0; j < 5; j++) {
            expected.push_back(static_cast<float>(200 * pair + j));
            expected.push_back(static_cast<float>(200 * pair + 100 + j));
        }
        EXPECT_EQ(samplesOf(readFile(outputs.names()[pair])), expected) << pair;
    }
}

TEST(Outputs, AStemThatFailsToFinishTakesTheFinishedOnesWithIt) {
    // The fourth stem goes into a pipe whose reader leaves before the end.
    std::string fifo = testFile("song-4.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    void (*previous)(int) = std::signal(SIGPIPE, SIG_IGN);
    render::Outputs outputs;
    std::string error;
    bool opened = outputs.open(testFile("song.wav"), true, 44100, error);
    Block block(64, [](int c, int j) { return static_cast<float>(c + j); });
    bool written = opened && outputs.write(block.pointers, 64);
    ::close(reader);
    bool finished = outputs.finish(error);
    std::signal(SIGPIPE, previous);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(written);
    EXPECT_FALSE(finished);
    EXPECT_EQ(error, fifo);
    for (int pair = 1; pair <= 3; pair++)
        EXPECT_FALSE(std::ifstream(testFile("song-" + std::to_string(pair) + ".wav")).good()) << pair;
}

}  // namespace
