#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "files/Wave.h"
#include "platform/Wave.h"
#include "support/TestFolder.h"
#include "support/WaveCases.h"
#include "support/Watchdog.h"

using namespace wavetest;

namespace {

std::string scratch(const std::string& name) { return testsupport::testFile(name); }

std::string written(const std::string& name, const Bytes& bytes) {
    std::string path = scratch(name);
    EXPECT_TRUE(writeFile(path, bytes));
    return path;
}

TEST(WaveLayouts, EachGivesItsResult) {
    int i = 0;
    for (const LayoutCase& c : layoutCases()) {
        Decoded d = decode(written("layout" + std::to_string(i++) + ".wav", c.file));
        EXPECT_EQ(d.result, c.result) << c.name;
    }
    EXPECT_EQ(decode(scratch("no-such-file.wav")).result, kWaveCannotOpen);
    EXPECT_EQ(decode(::testing::TempDir()).result, kWaveCannotOpen) << "a folder";
    std::string fifo = scratch("fifo.wav");
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    testsupport::Watchdog watchdog("opening a pipe without a writer", 10);  // a reader that waits never returns
    EXPECT_EQ(decode(fifo).result, kWaveCannotOpen) << "a pipe, read without waiting for a writer";
}

TEST(WaveLayouts, HugeFilesOfZerosAreRefusedAtOnce) {
    int i = 0;
    for (const HugeCase& c : hugeCases()) {
        std::string path = scratch("huge" + std::to_string(i++) + ".wav");
        ASSERT_TRUE(writeFile(path, c.head));
        ASSERT_EQ(truncate(path.c_str(), off_t(c.size)), 0) << c.name;
        testsupport::Watchdog watchdog(c.name, 10);
        EXPECT_EQ(decode(path).result, c.result) << c.name;
    }
}

// The bytes of address space this process holds, or 0 when unknown.
size_t addressSpaceInUse() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    return statm >> pages ? pages * size_t(sysconf(_SC_PAGESIZE)) : 0;
}

// Decodes path in a child process whose address space may grow by only
// `room` bytes, and gives its result, or -1 when the child did not finish.
int decodeInLittleRoom(const std::string& path, size_t room) {
    const size_t inUse = addressSpaceInUse();
    if (inUse == 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        rlimit cap;
        cap.rlim_cur = cap.rlim_max = inUse + room;
        _exit(setrlimit(RLIMIT_AS, &cap) == 0 ? decode(path).result : 100);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A header may declare up to 4 GB of data in a file of a few bytes; the
// reader must find that out before it allocates for it, or a host loading
// such a file runs out of memory (or, where memory is plentiful, would not
// show the fault: hence the capped address space).
TEST(WaveLayouts, DataDeclaredBeyondTheFileIsRefusedBeforeAnythingIsAllocated) {
    const size_t room = size_t(64) << 20;
    Bytes fmt = chunk("fmt ", fmtBody(Format{})), pcm = samples(testSignal(64), 2);
    ASSERT_EQ(decodeInLittleRoom(written("honest.wav", riff("WAVE", fmt + chunk("data", pcm))), room), kWaveOk)
        << "the room suffices for a file that holds its data";
    for (uint32_t declared : {uint32_t(256) << 20, 0xFFFFFFF0u}) {
        std::string path = written("overdeclared.wav", riff("WAVE", fmt + chunk("data", pcm, declared)));
        EXPECT_EQ(decodeInLittleRoom(path, room), kWaveShortData) << declared << " bytes declared";
    }
}

TEST(WaveLayouts, FailureLeavesTheOutputsAlone) {
    float sentinel = 0;
    float* samples = &sentinel;
    uint32_t length = 77;
    std::string path = written("failing.wav", riff("WAVE", chunk("fmt ", fmtBody(Format{}))));
    EXPECT_EQ(readWaveFile(path.c_str(), &samples, &length), kWaveNoData);
    EXPECT_EQ(samples, &sentinel);
    EXPECT_EQ(length, 77u);
}

TEST(WaveLayouts, DataShorterThanOneFrameFailsInTheFirstStage) {
    std::string path = written("one-byte.wav", wave(Format{}, Bytes{1}));
    EXPECT_EQ(decode(path).result, kConvertStage1 + platform::kStageSize);
}

TEST(WaveSamples, EachFormatGivesItsValues) {
    int i = 0;
    for (const SampleCase& c : sampleCases()) {
        Decoded d = decode(written("samples" + std::to_string(i++) + ".wav", c.file));
        ASSERT_EQ(d.result, 0) << c.name;
        EXPECT_TRUE(d.allExact) << c.name;
        EXPECT_EQ(d.values, c.expected) << c.name;
    }
}

TEST(WaveSamples, SixteenBitMonoFloatsMatchTheWindowsBuild) {
    std::string path = written("identity.wav", identityFile());
    Decoded d = decode(path);
    std::vector<int16_t> signal = testSignal(4000);
    ASSERT_EQ(d.values.size(), signal.size());
    for (size_t i = 0; i < signal.size(); i++) ASSERT_EQ(d.values[i], signal[i]) << i;
    EXPECT_EQ(floatChecksum(path), kIdentityChecksum);
}

TEST(WaveConversion, FormatNoDecoderTakesIsRefusedWithOne) {
    Bytes format = fmtBody(Format{0x55, 2, 44100, 0, 1, true, {}});  // a whole WAVEFORMATEX
    uint8_t* pcm = nullptr;
    uint32_t bytes = 0;
    uint8_t data[4] = {};
    EXPECT_EQ(convertToMono16(format.data(), data, sizeof data, &pcm, &bytes), kConvertNoSuggestion);
    EXPECT_EQ(pcm, nullptr);
}

// sox encodes the corpus; every file must decode as the manifest says.
TEST(WaveCorpus, SoxEncodedFilesDecode) {
    std::string dir = scratch("corpus");
    std::string command = std::string(KZ_TEST_SOURCE_DIR) + "/support/make-wave-corpus '" + dir + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<CorpusEntry> entries = readManifest(dir);
    ASSERT_GE(entries.size(), 20u);
    for (const CorpusEntry& e : entries) EXPECT_EQ(checkCorpusEntry(dir, e), "") << e.file;
}

}  // namespace
