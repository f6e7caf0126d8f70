#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Bank.h"
#include "Files.h"
#include "formats/KitFormats.h"
#include "Sounds.h"
#include "support/TestFolder.h"

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

const std::string kKitDir = KZ_SOURCE_DIR "/examples/kit/";

std::vector<std::uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The kit's samples as their WAV files hold them, and those files' names.
const std::vector<std::vector<std::int16_t>>& pcm() {
    static const std::vector<std::vector<std::int16_t>> samples = [] {
        std::vector<std::vector<std::int16_t>> all;
        for (const kitgen::Sound& s : kit()) {
            std::vector<std::uint8_t> wav = kitgen::encodeWav(s.samples);
            all.emplace_back((wav.size() - 44) / 2);
            for (std::size_t k = 0; k < all.back().size(); k++)
                all.back()[k] = static_cast<std::int16_t>(le(wav, 44 + 2 * k, 2));
        }
        return all;
    }();
    return samples;
}

std::vector<std::string> wavNames() {
    std::vector<std::string> names;
    for (const kitgen::Sound& s : kit()) names.push_back(s.name + ".wav");
    return names;
}

TEST(DemoKit, EverySoundIsAFinishedMonoSample) {
    ASSERT_EQ(kit().size(), 16u);
    std::set<std::string> names;
    std::vector<std::string> listed = kitgen::kitNames();
    ASSERT_EQ(listed.size(), kit().size());
    for (const kitgen::Sound& s : kit()) {
        EXPECT_EQ(listed[names.size()], s.name);
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
        const bool cymbal = s.name == "crash" || s.name == "ride" || s.name == "openhat";
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
    std::set<std::string> expected = {"demo.kbk", "demo-multiout.kbk"};
    for (const kitgen::Sound& s : kit()) {
        std::string name = s.name + ".wav";
        expected.insert(name);
        std::vector<std::uint8_t> committed = readAll(kKitDir + name);
        ASSERT_FALSE(committed.empty()) << name;
        EXPECT_TRUE(committed == kitgen::encodeWav(s.samples)) << name;
    }
    for (auto [file, outputs] : {std::pair{"demo.kbk", kitgen::Outputs::firstPair},
                                 std::pair{"demo-multiout.kbk", kitgen::Outputs::spread}}) {
        std::string generated = testsupport::testFile(file);
        ASSERT_TRUE(kitgen::writeDemoBank(generated, pcm(), wavNames(), outputs));
        EXPECT_TRUE(readAll(generated) == readAll(kKitDir + file)) << file;
    }
    // Nothing left over from an older kit, such as a renamed sample.
    std::set<std::string> present;
    for (const auto& entry : std::filesystem::directory_iterator(kKitDir)) present.insert(entry.path().filename());
    EXPECT_EQ(present, expected);
}

kitformat::Bank committedBank(const char* file) {
    kitformat::Bank bank;
    EXPECT_EQ(kitformat::readBank((kKitDir + file).c_str(), bank), kitformat::BankRead::ok) << file;
    return bank;
}

std::string pathOf(const kitformat::BankPad& pad) {
    const char* field = reinterpret_cast<const char*>(pad.pathField);
    return std::string(field, strnlen(field, sizeof pad.pathField));
}

// demo.kbk is heard whole on a host's default (first) output pair;
// demo-multiout.kbk is the same kit with its pieces on their own pairs.
TEST(DemoKit, BanksHoldTheKitOnePairOrSpreadOverFour) {
    const kitformat::Bank single = committedBank("demo.kbk"), multi = committedBank("demo-multiout.kbk");
    for (std::size_t i = 0; i < kit().size(); i++) {
        SCOPED_TRACE(kit()[i].name);
        const kitformat::BankPad &a = single.pads[i], &b = multi.pads[i];
        EXPECT_EQ(a.samples, pcm()[i]);
        EXPECT_EQ(b.samples, pcm()[i]);
        EXPECT_EQ(pathOf(a), "kit/" + wavNames()[i]);
        EXPECT_EQ(pathOf(b), pathOf(a));
        EXPECT_EQ(a.settings.midiNote, 48 + static_cast<int>(i));
        EXPECT_EQ(a.settings.choke, i >= 5 && i <= 7 ? 1 : 0) << "the hats choke each other";
        EXPECT_EQ(a.settings.output, 0);
        const kitformat::PadSettings &x = a.settings, &y = b.settings;
        EXPECT_EQ(std::tie(x.midiNote, x.ampDecay, x.pan, x.pitch, x.pitchDecay, x.volume, x.choke, x.mute, x.solo),
                  std::tie(y.midiNote, y.ampDecay, y.pan, y.pitch, y.pitchDecay, y.volume, y.choke, y.mute, y.solo))
            << "differ in more than the output";
    }
    // Kick and snares, toms, hats and cymbals, percussion: as the README has it.
    const int spread[16] = {0, 0, 0, 0, 3, 2, 2, 2, 1, 1, 1, 2, 2, 3, 3, 3};
    for (std::size_t i = 0; i < kit().size(); i++) EXPECT_EQ(multi.pads[i].settings.output, spread[i]) << i;
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
