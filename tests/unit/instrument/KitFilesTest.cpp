// The settings chunk and sound bank files on the real instrument.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "formats/KitFormats.h"
#include "instrument/DrumInstrument.h"
#include "platform/Platform.h"
#include "support/FakeServices.h"
#include "support/HostilePaths.h"
#include "support/TestFolder.h"
#include "support/Watchdog.h"
#include "support/WaveWriter.h"

namespace {

// While a RefuseAllocationsAbove is alive, larger requests to operator new
// fail, so that running out of memory can be seen at any size.
std::atomic<size_t> allocationLimit{SIZE_MAX};
std::atomic<size_t> largestRefused{0};

class RefuseAllocationsAbove {
public:
    explicit RefuseAllocationsAbove(size_t bytes) {
        largestRefused = 0;
        allocationLimit = bytes;
    }
    ~RefuseAllocationsAbove() { allocationLimit = SIZE_MAX; }
};

}  // namespace

// Every form is replaced, malloc and free on both sides.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(size_t size) {
    if (size > allocationLimit.load()) {
        size_t seen = largestRefused.load();
        while (size > seen && !largestRefused.compare_exchange_weak(seen, size)) {}
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using Bytes = std::vector<uint8_t>;

std::string scratch(const std::string& name) { return testsupport::testFile(name); }

Bytes readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string wavFile(const std::string& name, size_t frames) {
    std::string path = scratch(name);
    wavetest::writeFile(path, wavetest::wave(wavetest::Format(), wavetest::samples(wavetest::testSignal(frames), 2)));
    return path;
}

Bytes chunkOf(DrumInstrument& d) {
    void* data = nullptr;
    VstInt32 size = d.getChunk(&data, false);
    EXPECT_EQ(size, 5064);
    return Bytes(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// A kit with two WAV-loaded pads and every setting moved from its default.
void fillKit(DrumInstrument& d) {
    d.loadSampleFile(0, wavFile("a.wav", 300).c_str());
    d.loadSampleFile(7, wavFile("b.wav", 1000).c_str());
    for (int i = 0; i < kNumPads; i++) {
        Pad& p = d.pads[i];
        p.midiNote = 30 + 2 * i;
        p.ampDecay = 0.01f * i;
        p.pan = 0.03f * i;
        p.pitch = 0.05f * i;
        p.pitchDecay = 0.02f * i;
        p.volume = 0.04f * i;
        p.choke = i % 3;
        p.output = i % 4;
        p.mute = i == 3;
        p.solo = i == 4 || i == 9;
    }
}

void expectSamePads(DrumInstrument& a, DrumInstrument& b) {
    for (int i = 0; i < kNumPads; i++) {
        SCOPED_TRACE(i);
        ASSERT_EQ(a.pads[i].sampleData == nullptr, b.pads[i].sampleData == nullptr);
        if (!a.pads[i].sampleData) continue;
        ASSERT_EQ(a.pads[i].sampleLength, b.pads[i].sampleLength);
        EXPECT_EQ(std::memcmp(a.pads[i].sampleData, b.pads[i].sampleData, sizeof(float) * a.pads[i].sampleLength), 0);
    }
}

TEST(Chunk, FreshInstrumentGivesTheDefaultLayout) {
    DrumInstrument d(nullptr);
    Bytes expected(kitformat::kChunkSize);
    kitformat::encodeChunk(kitformat::defaultChunk(), expected.data());
    EXPECT_EQ(chunkOf(d), expected);
    EXPECT_EQ(d.loading.load(), 0);
}

TEST(Chunk, RoundTripRestoresSettingsAndSamplesBitForBit) {
    testsupport::ScopedFakeServices fake;
    DrumInstrument a(nullptr), b(nullptr);
    fillKit(a);
    Bytes saved = chunkOf(a);
    EXPECT_EQ(b.setChunk(saved.data(), static_cast<VstInt32>(saved.size()), false), 0);
    EXPECT_EQ(chunkOf(b), saved);
    expectSamePads(a, b);
    EXPECT_EQ(b.soloCount, 2) << "solo pads are counted again after a restore";
    EXPECT_TRUE(fake.messages.empty());
}

TEST(Chunk, WrongSizeChangesNothingAndShowsNothing) {
    testsupport::ScopedFakeServices fake;
    DrumInstrument d(nullptr);
    fillKit(d);
    Bytes before = chunkOf(d);
    Bytes other(kitformat::kChunkSize + 1);
    kitformat::encodeChunk(kitformat::defaultChunk(), other.data());
    d.setChunk(other.data(), 5063, false);
    d.setChunk(other.data(), 5065, false);
    EXPECT_EQ(chunkOf(d), before);
    EXPECT_TRUE(fake.messages.empty());
}

TEST(Chunk, BadMagicShowsTheMessageOnceAndKeepsEverything) {
    testsupport::ScopedFakeServices fake;
    DrumInstrument d(nullptr);
    fillKit(d);
    const float* sample = d.pads[0].sampleData;
    Bytes before = chunkOf(d);
    Bytes bad(kitformat::kChunkSize);
    kitformat::encodeChunk(kitformat::defaultChunk(), bad.data());
    bad[3] = '4';
    d.setChunk(bad.data(), static_cast<VstInt32>(bad.size()), false);
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].text, "Not a valid KZ318 settings file.");
    EXPECT_EQ(fake.messages[0].caption, "KZ-318 Error");
    EXPECT_EQ(chunkOf(d), before);
    EXPECT_EQ(d.pads[0].sampleData, sample);
    EXPECT_EQ(d.loading.load(), 0) << "audio runs again";
}

TEST(Chunk, FlagValuesAboveOneReadAsOnAndAreWrittenBackAsOne) {
    DrumInstrument d(nullptr);
    Bytes c(kitformat::kChunkSize);
    kitformat::encodeChunk(kitformat::defaultChunk(), c.data());
    c[264 + 300 * 2 + 292] = 2;
    c[264 + 300 * 5 + 296] = 2;
    d.setChunk(c.data(), static_cast<VstInt32>(c.size()), false);
    EXPECT_EQ(d.pads[2].mute, 1);
    EXPECT_EQ(d.pads[5].solo, 1);
    EXPECT_EQ(d.soloCount, 1);
    Bytes out = chunkOf(d);
    EXPECT_EQ(out[264 + 300 * 2 + 292], 1);
    EXPECT_EQ(out[264 + 300 * 5 + 296], 1);
}

TEST(Chunk, MarkedPathWithoutBankKeepsThePadAndEmptyPathEmptiesIt) {
    DrumInstrument d(nullptr);
    fillKit(d);
    const float* kept = d.pads[0].sampleData;
    kitformat::Chunk c = kitformat::defaultChunk();
    std::strcpy(c.pads[0].path, "___whatever.wav");
    c.pads[0].settings.volume = 0.25f;
    Bytes bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(c, bytes.data());
    d.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()), false);
    EXPECT_EQ(d.pads[0].sampleData, kept);
    EXPECT_EQ(d.pads[0].volume, 0.25f);
    EXPECT_EQ(d.pads[7].sampleData, nullptr);
    EXPECT_EQ(d.pads[7].samplePath, nullptr);
}

TEST(Bank, FreshInstrumentExportsTheEmptyKit) {
    testsupport::ScopedFakeServices fake;
    DrumInstrument d(nullptr);
    std::string path = scratch("fresh.kbk");
    std::remove(path.c_str());
    fake.choose(path);
    d.exportBank();
    Bytes b = readAll(path);
    ASSERT_EQ(b.size(), 4872u);
    kitformat::Bank bank;
    ASSERT_EQ(kitformat::parseBank(b.data(), b.size(), bank), kitformat::BankRead::ok);
    for (int i = 0; i < kNumPads; i++) {
        EXPECT_EQ(bank.pads[i].settings.midiNote, 48 + i);
        EXPECT_EQ(bank.pads[i].settings.volume, 0.7f);
        EXPECT_EQ(bank.pads[i].pathField[0], 0);
    }
    ASSERT_EQ(fake.dialogs.size(), 1u);
    EXPECT_EQ(fake.dialogs[0].title, "Select a soundbank");
    EXPECT_EQ(fake.dialogs[0].filter, std::string("Bank (*.kbk)\0*.kbk\0All Files (*.*)\0*.*\0", 40));
    EXPECT_TRUE(fake.dialogs[0].save);
    EXPECT_TRUE(fake.messages.empty());
}

TEST(Bank, ExportAndImportKeepSamplesBitForBitAndMarkPathsOnce) {
    testsupport::ScopedFakeServices fake;
    DrumInstrument a(nullptr), b(nullptr), c(nullptr);
    fillKit(a);
    std::string first = scratch("kit1.kbk"), second = scratch("kit2.kbk");
    fake.choose(first);
    a.exportBank();
    fake.choose(first);
    b.importBank();
    expectSamePads(a, b);
    ASSERT_NE(b.pads[0].samplePath, nullptr);
    EXPECT_EQ(std::string(b.pads[0].samplePath, 3), "___");
    EXPECT_STREQ(b.pads[0].samplePath + 3, a.pads[0].samplePath + 3);
    EXPECT_EQ(b.pads[1].samplePath, nullptr);
    EXPECT_STREQ(b.bankPath, first.c_str());
    EXPECT_EQ(b.soloCount, 2);
    for (int i = 0; i < kNumPads; i++) EXPECT_EQ(b.pads[i].volume, a.pads[i].volume);

    fake.choose(second);
    b.exportBank();
    fake.choose(second);
    c.importBank();
    EXPECT_STREQ(c.pads[0].samplePath, b.pads[0].samplePath) << "marked paths are not marked again";
    expectSamePads(a, c);
}

TEST(Bank, ChunkNamingABankTakesSamplesFromItForMarkedPadsOnly) {
    testsupport::ScopedFakeServices fake;
    DrumInstrument a(nullptr), b(nullptr);
    fillKit(a);
    std::string path = scratch("chunked.kbk");
    fake.choose(path);
    a.exportBank();
    fake.choose(path);
    a.importBank();  // a now holds marked paths and names the bank
    Bytes saved = chunkOf(a);
    saved[264 + 300 * 7] = 0;  // pad 7's record loses its path
    b.setChunk(saved.data(), static_cast<VstInt32>(saved.size()), false);
    EXPECT_STREQ(b.bankPath, path.c_str());
    ASSERT_NE(b.pads[0].sampleData, nullptr);
    EXPECT_EQ(std::memcmp(b.pads[0].sampleData, a.pads[0].sampleData, sizeof(float) * a.pads[0].sampleLength), 0);
    EXPECT_EQ(b.pads[7].sampleData, nullptr) << "an empty record empties the pad despite the bank";
}

TEST(Bank, FirstByteOfTheFlagFieldsDecides) {
    testsupport::ScopedFakeServices fake;
    DrumInstrument d(nullptr);
    std::string path = scratch("flags.kbk");
    fake.choose(path);
    d.exportBank();
    Bytes b = readAll(path);
    const uint8_t muted[4] = {1, 0xAA, 0xBB, 0xCC}, notSolo[4] = {0, 1, 1, 1};
    std::memcpy(&b[8 + 32], muted, 4);
    std::memcpy(&b[8 + 36], notSolo, 4);
    wavetest::writeFile(path, b);
    d.readBankFile(path.c_str());
    EXPECT_EQ(d.pads[0].mute, 1);
    EXPECT_EQ(d.pads[0].solo, 0);
}

TEST(BankExport, NamesTheFileOnceAndNeverLosesTheOldKit) {
    testsupport::ScopedFakeServices fake;
    DrumInstrument d(nullptr);
    fillKit(d);
    std::string plain = scratch("named"), dotted = scratch("Upper.KBK");
    std::remove((plain + ".kbk").c_str());
    fake.choose(plain);
    d.exportBank();
    EXPECT_FALSE(readAll(plain + ".kbk").empty());
    fake.choose(dotted);
    d.exportBank();
    EXPECT_FALSE(readAll(dotted).empty());
    EXPECT_TRUE(readAll(dotted + ".kbk").empty());

    Bytes old = readAll(dotted);
    fake.choose(scratch("no-such-folder/kit.kbk"));
    d.exportBank();
    ASSERT_EQ(fake.messages.size(), 1u) << "a file that cannot be written is reported";
    EXPECT_EQ(readAll(dotted), old);

    fake.choose(std::string(196, 'x'));
    d.exportBank();
    EXPECT_EQ(fake.messages.size(), 2u) << "no room for the extension";

    fake.cancel();
    d.exportBank();
    EXPECT_EQ(fake.messages.size(), 2u);
}

TEST(BankExport, DoesNotOverlapAChunkRestoreOnAnotherThread) {
    // Run under the sanitizers: the export must never read a sample that a
    // restore frees meanwhile.
    testsupport::ScopedFakeServices fake;
    DrumInstrument d(nullptr);
    fillKit(d);
    Bytes saved = chunkOf(d);
    std::string path = scratch("race.kbk");
    for (int i = 0; i < 20; i++) fake.choose(path);
    std::thread restorer([&] {
        for (int i = 0; i < 20; i++) d.setChunk(saved.data(), static_cast<VstInt32>(saved.size()), false);
    });
    for (int i = 0; i < 20; i++) d.exportBank();
    restorer.join();
    kitformat::Bank bank;
    EXPECT_EQ(kitformat::readBank(path.c_str(), bank), kitformat::BankRead::ok);
}

// ---- The reader against what is not a bank at all.

class BankReader : public ::testing::Test {
protected:
    BankReader() {
        fillKit(d);
        std::strcpy(d.bankPath, "previous.kbk");
        before = chunkOf(d);
        sample = d.pads[0].sampleData;
    }

    // A kit whose last pad holds frames samples, as a bank file.
    std::string exported(size_t frames) {
        DrumInstrument a(nullptr);
        fillKit(a);
        a.loadSampleFile(15, wavFile("long.wav", frames).c_str());
        std::string path = scratch("exported.kbk");
        EXPECT_TRUE(a.writeBankFile(path.c_str()));
        return path;
    }

    // Reads fileName into d, expecting the invalid-file message and no change.
    void refused(const std::string& fileName) {
        size_t shown = fake.messages.size();
        d.readBankFile(fileName.c_str());
        ASSERT_EQ(fake.messages.size(), shown + 1);
        EXPECT_EQ(fake.messages.back().text, "Not a valid KZ-318 Bank File");
        EXPECT_EQ(fake.messages.back().caption, "Error");
        EXPECT_EQ(chunkOf(d), before);
        EXPECT_EQ(d.pads[0].sampleData, sample);
    }

    testsupport::ScopedFakeServices fake;
    DrumInstrument d{nullptr};
    Bytes before;
    const float* sample;
};

TEST_F(BankReader, RefusesInvalidFilesWhole) {
    Bytes bytes = readAll(exported(50));
    // Too short for the magic, one byte short inside the last pad's samples,
    // ending after pad 2's block.
    std::vector<Bytes> bad = {Bytes(bytes.begin(), bytes.begin() + 7), Bytes(bytes.begin(), bytes.end() - 1),
                              Bytes(bytes.begin(), bytes.begin() + 8 + 304 * 3)};
    bad.push_back(bytes);
    bad.back()[0] = 'K';
    bad.push_back(bytes);
    bad.back()[7] = '2';  // kzbk0002: all eight bytes of the magic count
    bad.push_back(bytes);
    bad.back()[8 + 300 + 3] = 0x7F;  // pad 0 declares far more samples than the file holds
    for (size_t i = 0; i < bad.size(); i++) {
        SCOPED_TRACE(i);
        std::string path = scratch("bad" + std::to_string(i) + ".kbk");
        wavetest::writeFile(path, bad[i]);
        refused(path);
    }
    refused(scratch("missing.kbk"));
    fake.choose(scratch("bad0.kbk"));
    d.importBank();
    EXPECT_EQ(fake.messages.size(), bad.size() + 2) << "the import says so too";
    EXPECT_EQ(chunkOf(d), before);
}

TEST_F(BankReader, RefusesWhatIsNotARegularFileAtOnce) {
    testsupport::HostilePaths hostile(testsupport::testFolder(), readAll(exported(100)));
    for (const testsupport::HostilePaths::Path& p : hostile.all()) {
        SCOPED_TRACE(p.kind);
        testsupport::Watchdog watchdog("reading a bank from " + p.kind, 5);
        testsupport::WithoutRoot user(p.unreadable);
        refused(p.path);
    }
}

// The bytes this process has read so far, or -1 when the system does not say.
long long bytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return -1;
}

TEST_F(BankReader, ReadsNoFurtherThanAWrongMagic) {
    std::string path = scratch("zeros.kbk");
    wavetest::writeFile(path, Bytes{'K', 'z', 'b', 'k', '0', '0', '0', '1'});
    std::filesystem::resize_file(path, 64u << 20);
    long long start = bytesRead();
    if (start < 0) GTEST_SKIP() << "no read counter";
    refused(path);
    EXPECT_LT(bytesRead() - start, 1 << 20);
}

TEST_F(BankReader, RunningOutOfMemoryIsAnInvalidFileAndNoException) {
    std::string path = exported(300000);
    RefuseAllocationsAbove limit(256 << 10);
    EXPECT_NO_THROW(refused(path));
    EXPECT_GT(largestRefused.load(), 0u);
}

TEST_F(BankReader, ALongSampleLoadsWhenTheFileHoldsIt) {
    std::string path = exported(300000);
    d.readBankFile(path.c_str());
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(d.pads[15].sampleLength, 300000);
    EXPECT_STREQ(d.bankPath, path.c_str());
}

TEST_F(BankReader, SizesAreCheckedAgainstTheFileBeforeAnythingIsAllocated) {
    Bytes bytes = readAll(exported(300000));
    std::string cut = scratch("cut.kbk"), overdeclared = scratch("overdeclared.kbk");
    // Short by one byte: the last pad's samples still need more bytes than
    // there are, though not more than one byte per sample.
    wavetest::writeFile(cut, Bytes(bytes.begin(), bytes.end() - 1));
    bytes[8 + 300 + 3] = 0x7F;
    wavetest::writeFile(overdeclared, bytes);
    RefuseAllocationsAbove limit(256 << 10);
    refused(cut);
    refused(overdeclared);
    EXPECT_EQ(largestRefused.load(), 0u) << "nothing was allocated for samples the file does not hold";
}

TEST(PlatformFiles, OpenRegularFileReadsFromTheStartAndGivesTheSize) {
    std::string path = scratch("five");
    wavetest::writeFile(path, Bytes{1, 2, 3, 4, 5});
    uint64_t size = 0;
    std::FILE* f = platform::openRegularFile(path.c_str(), &size);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(size, 5u);
    uint8_t got[6] = {};
    EXPECT_EQ(std::fread(got, 1, sizeof got, f), 5u);
    EXPECT_EQ(got[0], 1);
    std::fclose(f);
}

TEST(PlatformFiles, CreateFileBesideNeverReusesAName) {
    std::string target = scratch("kit.kbk");
    char first[300], second[300], tiny[8];
    std::FILE* a = platform::createFileBeside(target.c_str(), first, sizeof first);
    std::FILE* b = platform::createFileBeside(target.c_str(), second, sizeof second);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    std::fclose(a);
    std::fclose(b);
    EXPECT_STRNE(first, second);
    EXPECT_EQ(std::string(first).rfind(target + ".", 0), 0u) << "in the target's folder";
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_TRUE(std::filesystem::exists(second));
    EXPECT_EQ(platform::createFileBeside(target.c_str(), tiny, sizeof tiny), nullptr) << "no room for the name";
}

TEST(BankExport, TouchesNoFileButItsTarget) {
    testsupport::ScopedFakeServices fake;
    DrumInstrument d(nullptr);
    fillKit(d);
    std::string target = scratch("kit.kbk");
    const Bytes mine = {'n', 'o', 't', ' ', 'y', 'o', 'u', 'r', 's'};
    wavetest::writeFile(target + ".tmp", mine);
    fake.choose(target);
    d.exportBank();
    fake.choose(target);
    d.exportBank();
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_EQ(readAll(target + ".tmp"), mine);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(testsupport::testFolder()))
        files += entry.path().filename().string().rfind("kit.kbk", 0) == 0;
    EXPECT_EQ(files, 2) << "the bank and the file that was there; nothing left behind";
    kitformat::Bank bank;
    EXPECT_EQ(kitformat::readBank(target.c_str(), bank), kitformat::BankRead::ok);
}

}  // namespace
