// kz318-render against the real plug-in, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "formats/KitFormats.h"
#include "support/TestFolder.h"

namespace {

using testsupport::testFile;

// From the build: __FILE__ is relative where ccache rewrites the paths.
const std::string kSourceDir = KZ_SOURCE_DIR;

std::string tool() { return std::string(KZ_RENDER_TOOL) + " --plugin " + KZ_PLUGIN + " --quiet "; }

int exitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

int run(const std::string& args) { return exitStatus(std::system((tool() + args + " >/dev/null 2>&1").c_str())); }

// Runs a shell command line; returns its exit status and what it printed.
int runCapturing(const std::string& line, std::string& out, std::string& err) {
    std::string o = testFile("stdout.txt"), e = testFile("stderr.txt");
    int status = exitStatus(std::system(("(" + line + ") >" + o + " 2>" + e).c_str()));
    std::ifstream so(o), se(e);
    out.assign((std::istreambuf_iterator<char>(so)), {});
    err.assign((std::istreambuf_iterator<char>(se)), {});
    return status;
}

bool exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Echo lengths of pads 4 and 5: a click, silence, and a second click, the
// silence shorter and longer than the 0.1 s that ends a render.
const size_t kShortEcho = 3000, kLongEcho = 6000;

// A bank whose pads 0..3 hold a click: one frame of 0.5 after silence, so
// the first sounding output frame is easy to find; pads 4 and 5 add an echo.
std::string clickKit() {
    std::string path = testFile("click.kbk");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    kitformat::writeBankMagic(f);
    std::vector<float> click(64, 0.0f);
    click[1] = 0.5f;  // read at position 1.0: the first frame a voice sounds
    // A voice ends three frames before its sample does: room after the echo.
    std::vector<float> shortEcho(kShortEcho + 64, 0.0f), longEcho(kLongEcho + 64, 0.0f);
    shortEcho[1] = longEcho[1] = 0.5f;
    shortEcho[kShortEcho] = longEcho[kLongEcho] = 0.25f;
    const std::vector<float>* sounds[6] = {&click, &click, &click, &click, &shortEcho, &longEcho};
    for (int i = 0; i < kitformat::kPads; i++) {
        kitformat::PadSettings s = kitformat::defaultSettings(i);
        s.output = i % 4;
        char path260[kitformat::kPathField] = "kit/click.wav";
        const std::vector<float>* sound = i < 6 ? sounds[i] : nullptr;
        kitformat::writeBankPad(f, s, sound ? path260 : nullptr, sound ? sound->data() : nullptr,
                                sound ? static_cast<uint32_t>(sound->size()) : 0);
    }
    std::fclose(f);
    return path;
}

void be32(std::vector<uint8_t>& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

// Format 1, 480 ticks per quarter, 120 BPM then 60 BPM from tick 1920.
std::string midiFile(const std::string& name, const std::vector<uint8_t>& notes, size_t cut = 0) {
    std::vector<uint8_t> tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x8F, 0x00, 0xFF,
                                  0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<uint8_t> b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0};
    for (const std::vector<uint8_t>* t : std::initializer_list<const std::vector<uint8_t>*>{&tempo, &notes}) {
        b.insert(b.end(), {'M', 'T', 'r', 'k'});
        be32(b, static_cast<uint32_t>(t->size()));
        b.insert(b.end(), t->begin(), t->end());
    }
    if (cut) b.resize(b.size() - cut);
    std::string path = testFile(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
    return path;
}

// Notes on pads 0..3 (notes 48..51) at ticks 0, 480, 1920 and 2400.
const std::vector<uint8_t> kFourNotes = {0x00, 0x90, 48,   127,  0x83, 0x60, 49,   127,  0x8B, 0x20,
                                         50,   127,  0x83, 0x60, 51,   127,  0x00, 0xFF, 0x2F, 0x00};

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
    std::string kit = clickKit(), mid = midiFile("four.mid", kFourNotes), out = testFile("four.wav");
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
    ASSERT_EQ(run("--kit " + kit + " --out " + testFile("mix.wav") + " " + mid), 0);
    ASSERT_EQ(run("--kit " + kit + " --stems --out " + testFile("stem.wav") + " " + mid), 0);
    Wav mix = readWav(testFile("mix.wav"));
    std::vector<float> sum(mix.samples.size(), 0.0f);
    for (int pair = 1; pair <= 4; pair++) {
        Wav stem = readWav(testFile("stem-" + std::to_string(pair) + ".wav"));
        ASSERT_EQ(stem.samples.size(), mix.samples.size());
        EXPECT_EQ(onsets(stem).size(), 1u) << "each pad plays on its own pair";
        for (size_t i = 0; i < sum.size(); i++) sum[i] += stem.samples[i];
    }
    EXPECT_EQ(sum, mix.samples);
}

TEST(RenderTool, AKitWithoutSamplesRendersSilence) {
    std::string mid = midiFile("silent.mid", kFourNotes), out = testFile("silent.wav");
    ASSERT_EQ(run("--pad 1,volume=0.5 --out " + out + " " + mid), 0);
    Wav w = readWav(out);
    EXPECT_FALSE(w.samples.empty());
    EXPECT_TRUE(onsets(w).empty());
}

TEST(RenderTool, ChunkOutRoundTripsThroughChunkIn) {
    std::string kit = clickKit(), mid = midiFile("chunk.mid", kFourNotes);
    ASSERT_EQ(run("--kit " + kit + " --pad 2,pan=0.25,choke=1 --chunk-out " + testFile("a.chunk") + " --out " +
                  testFile("a.wav") + " " + mid),
              0);
    ASSERT_EQ(run("--chunk-in " + testFile("a.chunk") + " --chunk-out " + testFile("b.chunk") + " --out " +
                  testFile("b.wav") + " " + mid),
              0);
    std::ifstream a(testFile("a.chunk"), std::ios::binary), b(testFile("b.chunk"), std::ios::binary);
    std::string ca((std::istreambuf_iterator<char>(a)), {}), cb((std::istreambuf_iterator<char>(b)), {});
    EXPECT_EQ(ca.size(), kitformat::kChunkSize);
    EXPECT_EQ(ca, cb);
    EXPECT_EQ(readWav(testFile("a.wav")).samples, readWav(testFile("b.wav")).samples);
}

TEST(RenderTool, ErrorsAreReportedWithAFailingStatus) {
    std::string kit = clickKit();
    EXPECT_NE(run("--kit " + kit + " " + midiFile("cut.mid", kFourNotes, 5)), 0);
    EXPECT_NE(run("--kit " + kit + " " + testFile("no-such.mid")), 0);
    EXPECT_NE(run("--pad 1=" + testFile("no-such.wav")), 0);
    EXPECT_NE(run("--kit " + testFile("no-such.kbk")), 0);
    EXPECT_NE(run("--pad 17=x.wav"), 0);
    EXPECT_NE(run("--frobnicate"), 0);
    std::string cmd = std::string(KZ_RENDER_TOOL) + " --plugin " + testFile("no-such.so") + " --quiet >/dev/null 2>&1";
    EXPECT_NE(std::system(cmd.c_str()), 0);
}

// A note on pad 4 (short echo) or pad 5 (long echo) at tick 2400, frame
// 132300, after the last tempo change.
const std::vector<uint8_t> kShortEchoNote = {0x92, 0x60, 0x90, 52, 127, 0x00, 0xFF, 0x2F, 0x00};
const std::vector<uint8_t> kLongEchoNote = {0x92, 0x60, 0x90, 53, 127, 0x00, 0xFF, 0x2F, 0x00};

size_t frames(const Wav& w) { return w.samples.size() / 2; }

TEST(RenderTool, SilenceAfterTheLastEventIsKeptOnlyWhereSoundFollows) {
    std::string kit = clickKit(), out = testFile("echo.wav");
    std::string shortEcho = midiFile("short.mid", kShortEchoNote), longEcho = midiFile("long.mid", kLongEchoNote);
    for (const char* block : {"1", "100", "512", "4096"}) {
        SCOPED_TRACE(std::string("block ") + block);
        std::string common = "--kit " + kit + " --block " + block + " --out " + out + " ";
        ASSERT_EQ(run(common + shortEcho), 0);
        Wav w = readWav(out);
        EXPECT_EQ(onsets(w), (std::vector<size_t>{132301, 132300 + kShortEcho}));
        EXPECT_EQ(frames(w), 132301 + kShortEcho) << "ends on the echo";

        // The silence before the long echo ends the render, where a block
        // ends 0.1 s after the click; the click's frame is the last one. A
        // block of 4096 reaches on to the echo before that check.
        ASSERT_EQ(run(common + longEcho), 0);
        w = readWav(out);
        if (std::string(block) == "4096") {
            EXPECT_EQ(onsets(w), (std::vector<size_t>{132301, 132300 + kLongEcho}));
            EXPECT_EQ(frames(w), 132301 + kLongEcho);
        } else {
            EXPECT_EQ(onsets(w), std::vector<size_t>{132301});
            EXPECT_EQ(frames(w), 132302u);
        }

        // The tail limit ends the render before the short echo.
        ASSERT_EQ(run(common + "--tail 0.02 " + shortEcho), 0);
        EXPECT_EQ(frames(readWav(out)), 132302u);
        // With no tail the render stops at the frame after the last event.
        ASSERT_EQ(run(common + "--tail 0 " + shortEcho), 0);
        EXPECT_EQ(frames(readWav(out)), 132301u);
    }
}

uint64_t fnv1a(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    uint64_t h = 1469598103934665603ull;
    char buffer[65536];
    while (in.read(buffer, sizeof(buffer)) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); i++) {
            h ^= static_cast<uint8_t>(buffer[i]);
            h *= 1099511628211ull;
        }
    }
    return h;
}

long fileSize(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

struct FileSum {
    long size;
    uint64_t hash;
};

// The built-in groove through the demo kits, byte for byte as the tool wrote
// it when it still held the whole song in memory before writing (the kit
// spread over the four pairs) and as it writes it now (the kit on pair 1,
// whose mix adds the same voices in another order).
TEST(RenderTool, DemoGrooveOutputIsByteForByteAsRecorded) {
    struct Case {
        const char* kit;
        const char* options;
        const char* report;  // what follows each file name on standard output
        std::vector<FileSum> files;
    };
    const FileSum silent52s = {18652010, 0xc227a2cb886296a2ull}, silent48s = {17271834, 0x9cbe067b803fc954ull};
    const Case cases[] = {
        {"demo-multiout.kbk", "", "(52.87 s, peak -1.5 dBFS)", {{18652010, 0x8887bcceaa4a2873ull}}},
        {"demo-multiout.kbk",
         "--stems --block 100",
         "(52.87 s)",
         {{18652010, 0x63631e2134852df3ull},
          {18652010, 0x30cf27a7c8772be1ull},
          {18652010, 0xe60b0959b866a280ull},
          {18652010, 0xa2a11d29cab66e6eull}}},
        {"demo-multiout.kbk",
         "--rate 48000 --block 777 --tail 0.05",
         "(49.01 s, peak -1.4 dBFS)",
         {{18818474, 0xa86eb9dd4c0e6f92ull}}},
        {"demo-multiout.kbk",
         "--stems --tail 0 --block 4096",
         "(48.96 s)",
         {{17271834, 0xfaa7865b389b05c1ull},
          {17271834, 0x0f042cbe78f6dabcull},
          {17271834, 0x4f3efd6e190330b2ull},
          {17271834, 0x290fab887b39482eull}}},
        {"demo.kbk", "", "(52.87 s, peak -1.5 dBFS)", {{18652010, 0x52fb5ae083818258ull}}},
        {"demo.kbk",
         "--stems --block 100",
         "(52.87 s)",
         {{18652010, 0x0dae26f8b3408f03ull}, silent52s, silent52s, silent52s}},
        {"demo.kbk",
         "--rate 48000 --block 777 --tail 0.05",
         "(49.01 s, peak -1.4 dBFS)",
         {{18818474, 0xa083a0567836f213ull}}},
        {"demo.kbk",
         "--stems --tail 0 --block 4096",
         "(48.96 s)",
         {{17271834, 0x0b69b2dd9755c615ull}, silent48s, silent48s, silent48s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kit) + " " + c.options);
        const std::string kit = kSourceDir + "/examples/kit/" + c.kit;
        std::string out = testFile("demo.wav"), printed, errors;
        ASSERT_EQ(runCapturing(tool() + "--kit " + kit + " " + c.options + " --out " + out, printed, errors), 0)
            << errors;
        std::string expected;
        for (size_t i = 0; i < c.files.size(); i++) {
            std::string name = c.files.size() == 1 ? out : testFile("demo-" + std::to_string(i + 1) + ".wav");
            expected += "wrote " + name + " " + c.report + "\n";
            EXPECT_EQ(fileSize(name), c.files[i].size) << name;
            EXPECT_EQ(fnv1a(name), c.files[i].hash) << name;
        }
        EXPECT_EQ(printed, expected);
    }
}

// A host's default instrument track takes the first output pair only: the
// demo kit must sound there whole.
TEST(RenderTool, DemoKitSoundsWholeOnTheFirstPair) {
    const std::string kit = kSourceDir + "/examples/kit/demo.kbk";
    ASSERT_EQ(run("--kit " + kit + " --out " + testFile("mix.wav")), 0);
    ASSERT_EQ(run("--kit " + kit + " --stems --out " + testFile("stem.wav")), 0);
    Wav mix = readWav(testFile("mix.wav"));
    ASSERT_FALSE(onsets(mix).empty());
    EXPECT_EQ(readWav(testFile("stem-1.wav")).samples, mix.samples);
    for (int pair = 2; pair <= 4; pair++) {
        Wav stem = readWav(testFile("stem-" + std::to_string(pair) + ".wav"));
        EXPECT_EQ(stem.samples.size(), mix.samples.size()) << pair;
        EXPECT_TRUE(onsets(stem).empty()) << "pair " << pair << " sounds";
    }
}

// Peak resident size of a shell command line run to its end, in KB. A
// forked child, not a spawned one: exec counts the size of the process it
// replaces, and this one starts as a copy of the test's current size rather
// than sharing the test's own peak.
long peakKilobytes(const std::string& line) {
    std::string exec = "exec " + line + " >/dev/null 2>&1";
    pid_t child = fork();
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", exec.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (child < 0 || wait4(child, &status, 0, &usage) != child || exitStatus(status) != 0) return -1;
    return usage.ru_maxrss;
}

TEST(RenderTool, MemoryDoesNotGrowWithTheSong) {
    std::string kit = clickKit();
    // Notes at 0 s and at 120 s (tick 58560): 42 MB of mix, 170 MB of stems.
    std::string longSong =
        midiFile("long.mid", {0x00, 0x90, 48, 127, 0x83, 0xC9, 0x40, 49, 127, 0x00, 0xFF, 0x2F, 0x00});
    std::string shortSong = midiFile("short.mid", kFourNotes);
    for (const char* stems : {"", "--stems "}) {
        SCOPED_TRACE(stems);
        std::string common = tool() + "--kit " + kit + " " + stems + "--out " + testFile("memory.wav") + " ";
        long small = peakKilobytes(common + shortSong);
        long large = peakKilobytes(common + longSong);
        ASSERT_GT(small, 0);
        ASSERT_GT(large, 0);
        EXPECT_EQ(fileSize(testFile(*stems ? "memory-2.wav" : "memory.wav")), 58 + 8 * 5292002L);
        EXPECT_LT(large, small + 16 * 1024) << "peak KB for 3 s: " << small << ", for 120 s: " << large;
    }
}

TEST(RenderTool, OutputThroughAPipeMatchesAFile) {
    std::string kit = clickKit(), mid = midiFile("pipe.mid", kFourNotes), fifo = testFile("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(run("--kit " + kit + " --out " + testFile("file.wav") + " " + mid), 0);
    // The reader gives up after a minute should the tool never open the pipe.
    std::string line = "timeout 60 cat " + fifo + " >" + testFile("piped.wav") + " & " + tool() + "--kit " + kit +
                       " --out " + fifo + " " + mid + "; status=$?; wait; exit $status";
    std::string printed, errors;
    ASSERT_EQ(runCapturing(line, printed, errors), 0) << errors;
    EXPECT_EQ(fileSize(testFile("piped.wav")), fileSize(testFile("file.wav")));
    EXPECT_EQ(fnv1a(testFile("piped.wav")), fnv1a(testFile("file.wav")));
}

TEST(RenderTool, OutputThatCannotBeWrittenLeavesNoFileBehind) {
    std::string kit = clickKit(), mid = midiFile("w.mid", kFourNotes), printed, errors;
    auto ran = [&](const std::string& line) { return runCapturing(line, printed, errors); };

    std::string missing = testFile("no-such-folder/out.wav");
    EXPECT_EQ(ran(tool() + "--kit " + kit + " --out " + missing + " " + mid), 1);
    EXPECT_EQ(errors, "kz318-render: cannot write " + missing + "\n");
    EXPECT_EQ(printed, "");

    // The third stem cannot be created: none of the four may stay.
    ASSERT_EQ(mkdir(testFile("stem-3.wav").c_str(), 0700), 0);
    EXPECT_EQ(ran(tool() + "--kit " + kit + " --stems --out " + testFile("stem.wav") + " " + mid), 1);
    EXPECT_EQ(errors, "kz318-render: cannot write " + testFile("stem-3.wav") + "\n");
    for (int pair : {1, 2, 4}) EXPECT_FALSE(exists(testFile("stem-" + std::to_string(pair) + ".wav"))) << pair;

    // The disk fills up part way (a file size limit of 64 KB): the partial
    // file is removed. The shell ignores the signal the limit would raise.
    std::string full = testFile("full.wav");
    EXPECT_EQ(ran("trap '' XFSZ; ulimit -f 64; " + tool() + "--kit " + kit + " --out " + full + " " + mid), 1);
    EXPECT_EQ(errors, "kz318-render: cannot write " + full + "\n");
    EXPECT_FALSE(exists(full));

    // A reader that goes away: the write fails, and the pipe is not removed.
    std::string fifo = testFile("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ran("trap '' PIPE; timeout 60 head -c 100 " + fifo + " >/dev/null & " + tool() + "--kit " + kit +
                  " --out " + fifo + " " + mid + "; status=$?; wait; exit $status"),
              1);
    EXPECT_EQ(errors, "kz318-render: cannot write " + fifo + "\n");
    EXPECT_TRUE(exists(fifo));
}

}  // namespace
