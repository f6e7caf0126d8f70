#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "formats/KitFormats.h"
#include "support/TestFolder.h"
#include "support/WaveWriter.h"

namespace {

using namespace kitformat;

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
float lef(const uint8_t* p) {
    uint32_t v = le32(p);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

TEST(Chunk, DefaultLayoutFieldByField) {
    std::vector<uint8_t> b(kChunkSize, 0xEE);
    encodeChunk(defaultChunk(), b.data());
    EXPECT_EQ(std::memcmp(b.data(), "k813", 4), 0);
    for (size_t i = 4; i < 264; i++) ASSERT_EQ(b[i], 0) << i;
    for (int p = 0; p < kPads; p++) {
        const uint8_t* r = b.data() + 264 + 300 * p;
        for (int i = 0; i < 260; i++) ASSERT_EQ(r[i], 0);
        EXPECT_EQ(le32(r + 260), 48u + p);
        EXPECT_EQ(lef(r + 264), 0.0f);
        EXPECT_EQ(lef(r + 268), 0.5f);
        EXPECT_EQ(lef(r + 272), 0.5f);
        EXPECT_EQ(lef(r + 276), 0.0f);
        EXPECT_EQ(lef(r + 280), 0.7f);
        EXPECT_EQ(le32(r + 284), 0u);
        EXPECT_EQ(le32(r + 288), 0u);
        EXPECT_EQ(le32(r + 292), 0u);
        EXPECT_EQ(le32(r + 296), 0u);
    }
}

TEST(Chunk, DecodeChecksSizeAndMagicAndReadsNonzeroFlagsAsOn) {
    std::vector<uint8_t> b(kChunkSize);
    Chunk c = defaultChunk();
    std::strcpy(c.bankPath, "/kits/a.kbk");
    std::strcpy(c.pads[3].path, "/s/snare.wav");
    c.pads[3].settings.choke = 2;
    encodeChunk(c, b.data());
    b[264 + 300 * 5 + 292] = 2;  // mute = 2
    b[264 + 300 * 6 + 296] = 7;  // solo = 7
    Chunk out;
    EXPECT_FALSE(decodeChunk(b.data(), kChunkSize - 1, out));
    ASSERT_TRUE(decodeChunk(b.data(), kChunkSize, out));
    EXPECT_STREQ(out.bankPath, "/kits/a.kbk");
    EXPECT_STREQ(out.pads[3].path, "/s/snare.wav");
    EXPECT_EQ(out.pads[3].settings.choke, 2);
    EXPECT_EQ(out.pads[5].settings.mute, 1);
    EXPECT_EQ(out.pads[6].settings.solo, 1);
    b[0] = 'K';
    EXPECT_FALSE(decodeChunk(b.data(), kChunkSize, out));
}

TEST(Chunk, UnterminatedPathIsCutAt259Characters) {
    std::vector<uint8_t> b(kChunkSize);
    encodeChunk(defaultChunk(), b.data());
    std::memset(b.data() + 264, 'x', 260);
    Chunk out;
    ASSERT_TRUE(decodeChunk(b.data(), kChunkSize, out));
    EXPECT_EQ(std::strlen(out.pads[0].path), 259u);
}

std::vector<uint8_t> bankBytes(const std::vector<std::vector<float>>& samples) {
    std::FILE* f = std::tmpfile();
    writeBankMagic(f);
    for (int i = 0; i < kPads; i++) {
        char path[kPathField] = {};
        const std::vector<float>* s = i < static_cast<int>(samples.size()) ? &samples[i] : nullptr;
        writeBankPad(f, defaultSettings(i), path, s ? s->data() : nullptr, s ? static_cast<uint32_t>(s->size()) : 0);
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(std::ftell(f)));
    std::rewind(f);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    return bytes;
}

// The accessors point where encodeChunk writes each path, and decodeChunk
// reads what is written through them.
TEST(Chunk, PathFieldAccessorsAddressTheEncodedPaths) {
    std::vector<uint8_t> b(kChunkSize);
    Chunk c = defaultChunk();
    std::strcpy(c.bankPath, "/kits/bank.kbk");
    for (int p = 0; p < kPads; p++) std::snprintf(c.pads[p].path, kPathField, "/s/pad%d.wav", p);
    encodeChunk(c, b.data());
    EXPECT_EQ(chunkBankPathField(b.data()), b.data() + 4);
    EXPECT_STREQ(reinterpret_cast<const char*>(chunkBankPathField(b.data())), "/kits/bank.kbk");
    for (int p = 0; p < kPads; p++) {
        const uint8_t* field = chunkPadPathField(static_cast<const uint8_t*>(b.data()), p);
        EXPECT_EQ(field, b.data() + 264 + 300 * p);
        EXPECT_STREQ(reinterpret_cast<const char*>(field), c.pads[p].path);
        // The pad's note follows its path field.
        EXPECT_EQ(le32(field + kPathField), 48u + p);
    }
    EXPECT_EQ(chunkPadPathField(b.data(), kPads - 1) + kPathField + 40, b.data() + kChunkSize);

    std::memcpy(chunkPadPathField(b.data(), 15), "/t/last.wav", 12);
    std::memcpy(chunkBankPathField(b.data()), "/t/other.kbk", 13);
    Chunk back;
    ASSERT_TRUE(decodeChunk(b.data(), b.size(), back));
    EXPECT_STREQ(back.pads[15].path, "/t/last.wav");
    EXPECT_STREQ(back.bankPath, "/t/other.kbk");
    EXPECT_STREQ(back.pads[14].path, "/s/pad14.wav");
}

TEST(Chunk, ABanksPathIsMarkedOverItsFirstThreeCharacters) {
    char path[kPathField] = "C:\\kits\\kick.wav";
    EXPECT_FALSE(isBankMarked(path));
    markBankPath(path);
    EXPECT_STREQ(path, "___kits\\kick.wav");
    EXPECT_TRUE(isBankMarked(path));
    char shortPath[kPathField] = "k";
    markBankPath(shortPath);
    EXPECT_STREQ(shortPath, "___");
    EXPECT_TRUE(isBankMarked("_"));
    EXPECT_FALSE(isBankMarked(""));
    EXPECT_FALSE(isBankMarked("/a_b.wav"));
}

TEST(Chunk, TakesABanksPadsMarkedAsTheBanks) {
    Bank bank;
    std::memcpy(bank.pads[0].pathField, "C:\\kits\\kick.wav", 17);
    bank.pads[0].samples = {1, 2, 3};
    bank.pads[0].settings.midiNote = 36;
    bank.pads[1].samples = {4};  // a sample without a path
    bank.pads[2].settings.pan = 0.25f;
    Chunk chunk = defaultChunk();
    std::strcpy(chunk.bankPath, "/kits/a.kbk");
    for (ChunkPad& pad : chunk.pads) std::strcpy(pad.path, "/old/sample.wav");
    takeBankPads(bank, chunk);
    EXPECT_STREQ(chunk.pads[0].path, "___kits\\kick.wav");
    EXPECT_EQ(chunk.pads[0].settings.midiNote, 36);
    EXPECT_STREQ(chunk.pads[1].path, "_");
    EXPECT_STREQ(chunk.pads[2].path, "");  // the bank leaves it empty
    EXPECT_EQ(chunk.pads[2].settings.pan, 0.25f);
    EXPECT_STREQ(chunk.bankPath, "/kits/a.kbk");
}

TEST(Bank, EmptyKitIs4872BytesAndParses) {
    std::vector<uint8_t> bytes = bankBytes({});
    ASSERT_EQ(bytes.size(), 4872u);
    EXPECT_EQ(std::memcmp(bytes.data(), "kzbk0001", 8), 0);
    Bank bank;
    ASSERT_EQ(parseBank(bytes.data(), bytes.size(), bank), BankRead::ok);
    EXPECT_EQ(bank.pads[15].settings.midiNote, 63);
    EXPECT_EQ(bank.pads[15].settings.volume, 0.7f);
    EXPECT_TRUE(bank.pads[0].samples.empty());
}

TEST(Bank, SamplesSurviveAWriteAndReadExactly) {
    std::vector<float> s;
    for (int v : {-32768, -1, 0, 1, 12345, 32767}) s.push_back(static_cast<float>(v / 32768.0));
    std::vector<uint8_t> bytes = bankBytes({s, {}, s});
    Bank bank;
    ASSERT_EQ(parseBank(bytes.data(), bytes.size(), bank), BankRead::ok);
    ASSERT_EQ(bank.pads[2].samples.size(), s.size());
    for (size_t i = 0; i < s.size(); i++) EXPECT_EQ(bankSampleToFloat(bank.pads[2].samples[i]), s[i]);
}

// Both readers, from memory and from a file, give the same answer.
BankRead readBoth(const std::vector<uint8_t>& bytes, Bank& bank) {
    std::string path = testsupport::testFile("bank.kbk");
    EXPECT_TRUE(wavetest::writeFile(path, bytes));
    Bank fromFile = bank;
    BankRead r = readBank(path.c_str(), fromFile);
    EXPECT_EQ(parseBank(bytes.data(), bytes.size(), bank), r);
    EXPECT_EQ(fromFile.pads[0].settings.midiNote, bank.pads[0].settings.midiNote);
    return r;
}

TEST(Bank, TruncatedOrOverdeclaredFilesAreRefusedWhole) {
    std::vector<uint8_t> bytes = bankBytes({{0.5f, 0.25f}});
    Bank bank;
    bank.pads[0].settings.midiNote = 99;
    for (size_t cut : {size_t(0), size_t(7), size_t(8), size_t(300), bytes.size() - 1}) {
        BankRead r = readBoth(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut), bank);
        EXPECT_NE(r, BankRead::ok) << cut;
        EXPECT_EQ(bank.pads[0].settings.midiNote, 99) << "output untouched on failure";
    }
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(readBoth(longer, bank), BankRead::ok) << "a byte after the last block is ignored";
    bytes[8 + 300] = 0xFF;  // N of pad 0 far larger than the file
    EXPECT_EQ(readBoth(bytes, bank), BankRead::badSize);
    bytes[0] = 'x';
    EXPECT_EQ(readBoth(bytes, bank), BankRead::badMagic);
}

TEST(Bank, EveryByteOfTheMagicCounts) {
    std::vector<uint8_t> bytes = bankBytes({});
    Bank bank;
    for (size_t i = 0; i < 8; i++) {
        std::vector<uint8_t> other = bytes;
        other[i] ^= 0x20;
        EXPECT_EQ(readBoth(other, bank), BankRead::badMagic) << i;
    }
    bytes[7] = '2';
    EXPECT_EQ(readBoth(bytes, bank), BankRead::badMagic) << "kzbk0002";
}

TEST(Bank, LastPadOneByteShortOfItsSamplesIsRefused) {
    // Its samples then need more bytes than are left, though not more than
    // one per sample.
    std::vector<float> s(1000, 0.25f);
    std::vector<uint8_t> bytes = bankBytes({{}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, s});
    Bank bank;
    ASSERT_EQ(readBoth(bytes, bank), BankRead::ok);
    EXPECT_EQ(bank.pads[15].samples.size(), 1000u);
    bank.pads[0].settings.midiNote = 99;
    bytes.pop_back();
    EXPECT_EQ(readBoth(bytes, bank), BankRead::badSize);
    EXPECT_EQ(bank.pads[0].settings.midiNote, 99);
}

TEST(Bank, OnlyRegularFilesAreRead) {
    Bank bank;
    EXPECT_EQ(readBank(testsupport::testFolder().c_str(), bank), BankRead::cannotOpen) << "a folder";
    EXPECT_EQ(readBank(testsupport::testFile("missing.kbk").c_str(), bank), BankRead::cannotOpen);
}

TEST(Bank, SampleConversionTruncatesTowardZeroAndWraps) {
    EXPECT_EQ(floatToBankSample(-1.0f), -32768);
    EXPECT_EQ(floatToBankSample(32767.0f / 32768.0f), 32767);
    EXPECT_EQ(floatToBankSample(0.99999f), 32767);
    EXPECT_EQ(floatToBankSample(-0.00001f), 0);
    EXPECT_EQ(floatToBankSample(1.0f), -32768);  // low 16 bits of 32768
}

}  // namespace
