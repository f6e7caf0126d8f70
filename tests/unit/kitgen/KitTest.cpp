#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "Files.h"
#include "formats/KitFormats.h"
#include "Sounds.h"

namespace {

std::uint32_t le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; i--) v = v << 8 | b[at + i];
    return v;
}

double dbfs(double x) { return 20.0 * std::log10(std::max(x, 1e-12)); }

const std::vector<kitgen::Sound>& kit() {
    static const std::vector<kitgen::Sound> k = kitgen::makeKit();
    return k;
}

TEST(DemoKit, EverySoundIsAFinishedMonoSample) {
    ASSERT_EQ(kit().size(), 16u);
    std::set<std::string> names;
    for (const kitgen::Sound& s : kit()) {
        SCOPED_TRACE(s.name);
        names.insert(s.name);
        std::vector<std::uint8_t> wav = kitgen::encodeWav(s.samples);
        ASSERT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
        EXPECT_EQ(le(wav, 4, 4), wav.size() - 8);
        EXPECT_EQ(le(wav, 20, 2), 1u);  // PCM
        EXPECT_EQ(le(wav, 22, 2), 1u);  // mono
        EXPECT_EQ(le(wav, 24, 4), 44100u);
        EXPECT_EQ(le(wav, 34, 2), 16u);
        EXPECT_EQ(le(wav, 40, 4), s.samples.size() * 2);

        const std::vector<double>& x = s.samples;
        const bool cymbal = s.name == "crash" || s.name == "ride" || s.name == "open-hat";
        EXPECT_GT(x.size(), 4410u);
        EXPECT_LE(x.size(), static_cast<std::size_t>(44100 * (cymbal ? 4.0 : 2.5)));
        double peak = 0.0, sum = 0.0;
        for (double v : x) {
            peak = std::max(peak, std::fabs(v));
            sum += v;
        }
        EXPECT_GE(dbfs(peak), -3.05);
        EXPECT_LE(dbfs(peak), -0.95);
        EXPECT_LT(std::fabs(sum / static_cast<double>(x.size())), 0.001) << "DC offset";
        EXPECT_LT(std::fabs(x[0]), 1.0 / 32768.0) << "starts with a click";
        double tail = 0.0;
        const std::size_t last = 441;  // 10 ms
        for (std::size_t i = x.size() - last; i < x.size(); i++) tail = std::max(tail, std::fabs(x[i]));
        EXPECT_LT(dbfs(tail), -50.0) << "does not decay";
        EXPECT_LT(std::fabs(x.back()), 2.0 / 32768.0);
    }
    EXPECT_EQ(names.size(), 16u);
}

TEST(DemoKit, CommittedFilesMatchTheGenerator) {
    // The examples are generated output: a change to a recipe must come with
    // regenerated files (build/linux/kz318-kitgen examples).
    for (std::size_t i = 0; i < kit().size(); i++) {
        char name[64];
        std::snprintf(name, sizeof name, "/examples/kit/%02zu-%s.wav", i + 1, kit()[i].name.c_str());
        std::ifstream in(std::string(KZ_SOURCE_DIR) + name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::vector<std::uint8_t> committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(committed == kitgen::encodeWav(kit()[i].samples)) << name;
    }
}

TEST(DemoKit, CommittedBankHoldsTheSameSamplesWithHatsChoked) {
    kitformat::Bank bank;
    ASSERT_EQ(kitformat::readBank(KZ_SOURCE_DIR "/examples/kit/demo.kbk", bank), kitformat::BankRead::ok);
    for (std::size_t i = 0; i < kit().size(); i++) {
        std::vector<std::uint8_t> wav = kitgen::encodeWav(kit()[i].samples);
        const std::vector<std::int16_t>& s = bank.pads[i].samples;
        ASSERT_EQ(s.size() * 2, wav.size() - 44) << i;
        EXPECT_EQ(std::memcmp(s.data(), wav.data() + 44, wav.size() - 44), 0) << i;
        EXPECT_EQ(bank.pads[i].settings.midiNote, 48 + static_cast<int>(i));
        EXPECT_EQ(bank.pads[i].settings.choke, i >= 5 && i <= 7 ? 1 : 0) << i;
    }
}

TEST(DemoKit, WavEncodingClipsAndRounds) {
    std::vector<std::uint8_t> wav = kitgen::encodeWav({0.0, 1.5, -1.5, 0.5, -1.0 / 32767.0});
    ASSERT_EQ(wav.size(), 44u + 10u);
    EXPECT_EQ(le(wav, 44, 2), 0u);
    EXPECT_EQ(le(wav, 46, 2), 32767u);
    EXPECT_EQ(le(wav, 48, 2), 0x8001u);  // -32767: symmetric full scale
    EXPECT_EQ(le(wav, 50, 2), 16384u);   // 0.5 * 32767 rounds up
    EXPECT_EQ(le(wav, 52, 2), 0xFFFFu);
}

}  // namespace
