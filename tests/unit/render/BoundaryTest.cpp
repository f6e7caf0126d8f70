// kz318-render with events that fall exactly on a block boundary: each must
// reach the plug-in with the block it starts, not at the end of the one
// before. All Notes Off and a choke cut act at the start of the block that
// carries them, so the output shows which block that was.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "formats/KitFormats.h"
#include "support/TempFolder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Pads 0 and 1 share choke group 1 and hold the same steady tone, long
// enough to outlast every render below; pad 0 is panned hard left, pad 1
// hard right, so each channel shows one pad.
const int kToneFrames = 10000;

const uint8_t kAllNotesOff[3] = {0xB0, 123, 0};
const uint8_t kChokeNote[3] = {0x90, 49, 127};  // pad 1, cuts pad 0

struct Stereo {
    std::vector<float> left, right;
};

// The stretches of one channel that are not silent, first and last frame.
using Runs = std::vector<std::pair<size_t, size_t>>;

Runs soundingRuns(const std::vector<float>& channel) {
    Runs runs;
    for (size_t i = 0; i < channel.size(); i++) {
        if (channel[i] == 0.0f) continue;
        size_t first = i;
        while (i + 1 < channel.size() && channel[i + 1] != 0.0f) i++;
        runs.emplace_back(first, i);
    }
    return runs;
}

// As "1-511 1025-2000", so that a failure reads at a glance.
std::string text(const Runs& runs) {
    std::string t;
    for (const auto& r : runs) t += (t.empty() ? "" : " ") + std::to_string(r.first) + "-" + std::to_string(r.second);
    return t;
}

void vlq(Bytes& b, uint32_t v) {
    Bytes groups = {static_cast<uint8_t>(v & 0x7F)};
    while (v >>= 7) groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (v & 0x7F)));
    b.insert(b.end(), groups.begin(), groups.end());
}

void be(Bytes& b, uint32_t v, int bytes) {
    for (int s = 8 * (bytes - 1); s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

class BlockBoundary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        kit = writeKit();
    }

    std::string writeKit() {
        std::string path = dir / "tone.kbk";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (!f) return path;
        kitformat::writeBankMagic(f);
        std::vector<float> tone(kToneFrames, 0.5f);
        for (int i = 0; i < kitformat::kPads; i++) {
            kitformat::PadSettings s = kitformat::defaultSettings(i);
            char field[kitformat::kPathField] = "kit/tone.wav";
            bool sound = i < 2;
            if (sound) {
                s.choke = 1;
                s.pan = i == 0 ? 0.0f : 1.0f;
            }
            kitformat::writeBankPad(f, s, sound ? field : nullptr, sound ? tone.data() : nullptr,
                                    sound ? kToneFrames : 0);
        }
        EXPECT_EQ(std::fclose(f), 0);
        return path;
    }

    // One track, 441 ticks to a quarter of 10 ms: one tick is one frame at
    // 44100 Hz. Pad 0 starts at frame 0, then the event at frame `at`.
    std::string writeSong(const uint8_t (&event)[3], uint32_t at) {
        Bytes track = {0x00, 0xFF, 0x51, 0x03};
        be(track, 10000, 3);
        track.insert(track.end(), {0x00, 0x90, 48, 127});
        vlq(track, at);
        track.insert(track.end(), event, event + 3);
        track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
        Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
        be(file, 441, 2);
        file.insert(file.end(), {'M', 'T', 'r', 'k'});
        be(file, static_cast<uint32_t>(track.size()), 4);
        file.insert(file.end(), track.begin(), track.end());
        std::string path = dir / "song.mid";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        return path;
    }

    // Renders the song with the given block option ("" for the default) and
    // reads back the stereo mix.
    bool render(const std::string& blockOption, const std::string& song, Stereo& out) {
        std::string wav = dir / "out.wav";
        std::remove(wav.c_str());
        std::string cmd = std::string(KZ_RENDER_TOOL) + " --plugin " + KZ_PLUGIN + " --quiet --kit " + kit + " " +
                          blockOption + " --out " + wav + " " + song + " >/dev/null 2>&1";
        int status = std::system(cmd.c_str());
        return WIFEXITED(status) && WEXITSTATUS(status) == 0 && readStereoFloat(wav, out);
    }

    static bool readStereoFloat(const std::string& path, Stereo& out) {
        std::ifstream in(path, std::ios::binary);
        Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (b.size() < 12 || std::memcmp(&b[0], "RIFF", 4) || std::memcmp(&b[8], "WAVE", 4)) return false;
        bool stereoFloat = false;
        for (size_t at = 12; at + 8 <= b.size();) {
            uint32_t len = b[at + 4] | b[at + 5] << 8 | b[at + 6] << 16 | static_cast<uint32_t>(b[at + 7]) << 24;
            if (!std::memcmp(&b[at], "fmt ", 4) && len >= 16)
                stereoFloat = b[at + 8] == 3 && b[at + 10] == 2 && b[at + 22] == 32;
            if (!std::memcmp(&b[at], "data", 4)) {
                size_t frames = std::min<size_t>(len, b.size() - at - 8) / 8;
                out.left.resize(frames);
                out.right.resize(frames);
                for (size_t i = 0; i < frames; i++) {
                    std::memcpy(&out.left[i], &b[at + 8 + 8 * i], 4);
                    std::memcpy(&out.right[i], &b[at + 12 + 8 * i], 4);
                }
                return stereoFloat;
            }
            at += 8 + static_cast<size_t>(len) + (len & 1);
        }
        return false;
    }

    testsupport::TempFolder dir;
    std::string kit;
};

struct BlockSize {
    int frames;
    const char* option;
};

// The default, a single frame, sizes that are and are not powers of two.
const BlockSize kBlocks[] = {
    {512, ""}, {1, "--block 1"}, {64, "--block 64"}, {100, "--block 100"}, {4096, "--block 4096"}};

// The first block boundary at or after frame 1000, and never the first one.
uint32_t boundaryFor(int block) {
    uint32_t n = static_cast<uint32_t>(block);
    return std::max(2 * n, (1000 + n - 1) / n * n);
}

TEST_F(BlockBoundary, AllNotesOffSilencesFromTheStartOfTheBlockThatHoldsIt) {
    for (const BlockSize& block : kBlocks) {
        const uint32_t boundary = boundaryFor(block.frames);
        for (uint32_t at : {boundary - 1, boundary, boundary + 1}) {
            SCOPED_TRACE("block " + std::to_string(block.frames) + ", All Notes Off at frame " + std::to_string(at));
            Stereo out;
            ASSERT_TRUE(render(block.option, writeSong(kAllNotesOff, at), out));
            const size_t cut = at / block.frames * block.frames;
            EXPECT_EQ(text(soundingRuns(out.left)), text({{1, cut - 1}}));
            EXPECT_EQ(text(soundingRuns(out.right)), "");
        }
    }
}

TEST_F(BlockBoundary, AChokeNoteOnABoundaryCutsAtThatBoundaryAndStartsOnItsFrame) {
    for (const BlockSize& block : kBlocks) {
        const uint32_t boundary = boundaryFor(block.frames);
        for (uint32_t at : {boundary - 1, boundary, boundary + 1}) {
            SCOPED_TRACE("block " + std::to_string(block.frames) + ", choke note at frame " + std::to_string(at));
            Stereo out;
            ASSERT_TRUE(render(block.option, writeSong(kChokeNote, at), out));
            // The cut comes with the block; the new voice starts on its own frame.
            const size_t cut = at / block.frames * block.frames;
            EXPECT_EQ(text(soundingRuns(out.left)), text({{1, cut - 1}}));
            Runs right = soundingRuns(out.right);
            ASSERT_EQ(right.size(), 1u) << text(right);
            EXPECT_EQ(right[0].first, at + 1);
            EXPECT_GT(right[0].second, at + kToneFrames / 2) << "pad 1 plays its tone";
        }
    }
}

}  // namespace
