// kz318-render against the real plug-in, run as a user runs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "formats/KitFormats.h"

namespace {

std::string scratch(const std::string& name) {
    static const std::string dir = [] {
        std::string d = ::testing::TempDir() + "kz318-render-test";
        std::string mk = "mkdir -p '" + d + "'";
        EXPECT_EQ(std::system(mk.c_str()), 0);
        return d;
    }();
    return dir + "/" + name;
}

int run(const std::string& args) {
    std::string cmd = std::string(KZ_RENDER_TOOL) + " --plugin " + KZ_PLUGIN + " --quiet " + args + " >/dev/null 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A bank whose pad 0 holds a click: one frame of 0.5 after silence, so
// the first sounding output frame is easy to find.
std::string clickKit() {
    std::string path = scratch("click.kbk");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    kitformat::writeBankMagic(f);
    std::vector<float> click(64, 0.0f);
    click[1] = 0.5f;  // read at position 1.0: the first frame a voice sounds
    for (int i = 0; i < kitformat::kPads; i++) {
        kitformat::PadSettings s = kitformat::defaultSettings(i);
        s.output = i % 4;
        char path260[kitformat::kPathField] = "kit/click.wav";
        bool sound = i < 4;
        kitformat::writeBankPad(f, s, sound ? path260 : nullptr, sound ? click.data() : nullptr, sound ? 64 : 0);
    }
    std::fclose(f);
    return path;
}

void be32(std::vector<uint8_t>& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

// Format 1, 480 ticks per quarter, 120 BPM then 60 BPM from tick 1920.
std::string midiFile(const std::string& name, const std::vector<uint8_t>& notes, size_t cut = 0) {
    std::vector<uint8_t> tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x8F, 0x00, 0xFF, 0x51,
                                  0x03, 0x0F, 0x42, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0};
    for (const std::vector<uint8_t>* t : std::initializer_list<const std::vector<uint8_t>*>{&tempo, &notes}) {
        b.insert(b.end(), {'M', 'T', 'r', 'k'});
        be32(b, static_cast<uint32_t>(t->size()));
        b.insert(b.end(), t->begin(), t->end());
    }
    if (cut) b.resize(b.size() - cut);
    std::string path = scratch(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
    return path;
}

// Notes on pads 0..3 (notes 48..51) at ticks 0, 480, 1920 and 2400.
const std::vector<uint8_t> kFourNotes = {0x00, 0x90, 48, 127, 0x83, 0x60, 49, 127, 0x8B, 0x20, 50,
                                         127,  0x83, 0x60, 51, 127, 0x00, 0xFF, 0x2F, 0x00};

struct Wav {
    int channels = 0;
    std::vector<float> samples;
};

Wav readWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Wav w;
    if (b.size() < 12) return w;
    for (size_t at = 12; at + 8 <= b.size();) {
        uint32_t len = b[at + 4] | b[at + 5] << 8 | b[at + 6] << 16 | static_cast<uint32_t>(b[at + 7]) << 24;
        if (!std::memcmp(&b[at], "fmt ", 4)) w.channels = b[at + 10];
        if (!std::memcmp(&b[at], "data", 4)) {
            w.samples.resize(len / 4);
            std::memcpy(w.samples.data(), &b[at + 8], len);
        }
        at += 8 + len + (len & 1);
    }
    return w;
}

std::vector<size_t> onsets(const Wav& w) {
    std::vector<size_t> frames;
    for (size_t i = 0; i + 1 < w.samples.size(); i += 2)
        if (w.samples[i] != 0.0f || w.samples[i + 1] != 0.0f) frames.push_back(i / 2);
    return frames;
}

TEST(RenderTool, NotesSoundOnTheirExactFramesAcrossTempoChanges) {
    std::string kit = clickKit(), mid = midiFile("four.mid", kFourNotes), out = scratch("four.wav");
    for (const char* block : {"512", "100", "1"}) {
        ASSERT_EQ(run("--kit " + kit + " --block " + block + " --out " + out + " " + mid), 0) << block;
        Wav w = readWav(out);
        ASSERT_EQ(w.channels, 2);
        // 0 s, 0.5 s, 2 s, then 480 ticks at 60 BPM; each voice sounds from
        // one frame after its event.
        EXPECT_EQ(onsets(w), (std::vector<size_t>{1, 22051, 88201, 132301})) << "block " << block;
    }
}

TEST(RenderTool, MixIsTheSumOfTheStems) {
    std::string kit = clickKit(), mid = midiFile("stems.mid", kFourNotes);
    ASSERT_EQ(run("--kit " + kit + " --out " + scratch("mix.wav") + " " + mid), 0);
    ASSERT_EQ(run("--kit " + kit + " --stems --out " + scratch("stem.wav") + " " + mid), 0);
    Wav mix = readWav(scratch("mix.wav"));
    std::vector<float> sum(mix.samples.size(), 0.0f);
    for (int pair = 1; pair <= 4; pair++) {
        Wav stem = readWav(scratch("stem-" + std::to_string(pair) + ".wav"));
        ASSERT_EQ(stem.samples.size(), mix.samples.size());
        EXPECT_EQ(onsets(stem).size(), 1u) << "each pad plays on its own pair";
        for (size_t i = 0; i < sum.size(); i++) sum[i] += stem.samples[i];
    }
    EXPECT_EQ(sum, mix.samples);
}

TEST(RenderTool, AKitWithoutSamplesRendersSilence) {
    std::string mid = midiFile("silent.mid", kFourNotes), out = scratch("silent.wav");
    ASSERT_EQ(run("--pad 1,volume=0.5 --out " + out + " " + mid), 0);
    Wav w = readWav(out);
    EXPECT_FALSE(w.samples.empty());
    EXPECT_TRUE(onsets(w).empty());
}

TEST(RenderTool, ChunkOutRoundTripsThroughChunkIn) {
    std::string kit = clickKit(), mid = midiFile("chunk.mid", kFourNotes);
    ASSERT_EQ(run("--kit " + kit + " --pad 2,pan=0.25,choke=1 --chunk-out " + scratch("a.chunk") + " --out " +
                  scratch("a.wav") + " " + mid),
              0);
    ASSERT_EQ(run("--chunk-in " + scratch("a.chunk") + " --chunk-out " + scratch("b.chunk") + " --out " +
                  scratch("b.wav") + " " + mid),
              0);
    std::ifstream a(scratch("a.chunk"), std::ios::binary), b(scratch("b.chunk"), std::ios::binary);
    std::string ca((std::istreambuf_iterator<char>(a)), {}), cb((std::istreambuf_iterator<char>(b)), {});
    EXPECT_EQ(ca.size(), kitformat::kChunkSize);
    EXPECT_EQ(ca, cb);
    EXPECT_EQ(readWav(scratch("a.wav")).samples, readWav(scratch("b.wav")).samples);
}

TEST(RenderTool, ErrorsAreReportedWithAFailingStatus) {
    std::string kit = clickKit();
    EXPECT_NE(run("--kit " + kit + " " + midiFile("cut.mid", kFourNotes, 5)), 0);
    EXPECT_NE(run("--kit " + kit + " " + scratch("no-such.mid")), 0);
    EXPECT_NE(run("--pad 1=" + scratch("no-such.wav")), 0);
    EXPECT_NE(run("--kit " + scratch("no-such.kbk")), 0);
    EXPECT_NE(run("--pad 17=x.wav"), 0);
    EXPECT_NE(run("--frobnicate"), 0);
    std::string cmd = std::string(KZ_RENDER_TOOL) + " --plugin " + scratch("no-such.so") + " --quiet >/dev/null 2>&1";
    EXPECT_NE(std::system(cmd.c_str()), 0);
}

}  // namespace
