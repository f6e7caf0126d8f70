// The WAV reader's test cases, shared by the Linux tests and the Windows test
// program so that both platforms answer the same files the same way: files
// made by the test writer with their expected result or samples, and the
// checks of the sox-made corpus (tests/support/make-wave-corpus).
#pragma once

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "files/Wave.h"
#include "platform/RiffWalk.h"
#include "support/WaveWriter.h"

namespace wavetest {

// The samples a file gives, as 16-bit values (each float times 32768).
struct Decoded {
    int result = -1;
    std::vector<int32_t> values;
    bool allExact = true;  // every float was a 16-bit value / 32768
};

inline Decoded decode(const std::string& path) {
    Decoded d;
    float* samples = nullptr;
    uint32_t length = 0;
    d.result = readWaveFile(path.c_str(), &samples, &length);
    if (d.result != 0) return d;
    for (uint32_t i = 0; i < length; i++) {
        double scaled = double(samples[i]) * 32768.0;
        d.values.push_back(int32_t(scaled));
        if (scaled != std::floor(scaled) || scaled < -32768 || scaled > 32767) d.allExact = false;
    }
    std::free(samples);
    return d;
}

// FNV-1a over the bit patterns of the floats a file gives.
inline uint32_t floatChecksum(const std::string& path) {
    float* samples = nullptr;
    uint32_t length = 0, hash = 2166136261u;
    if (readWaveFile(path.c_str(), &samples, &length) != 0) return 0;
    for (uint32_t i = 0; i < length; i++) {
        uint32_t bits;
        std::memcpy(&bits, &samples[i], 4);
        for (int b = 0; b < 4; b++) hash = (hash ^ ((bits >> (8 * b)) & 0xFF)) * 16777619u;
    }
    std::free(samples);
    return hash;
}

// The 16-bit mono 44.1 kHz file whose floats must be identical everywhere,
// and their checksum.
inline Bytes identityFile() { return wave(Format{}, samples(testSignal(4000), 2)); }
const uint32_t kIdentityChecksum = 2115501300u;

// count empty chunks in a row: a header walk steps over each on its own.
inline Bytes emptyChunks(uint32_t count) {
    Bytes one = chunk("junk", Bytes()), b;
    for (uint32_t i = 0; i < count; i++) b.insert(b.end(), one.begin(), one.end());
    return b;
}

struct LayoutCase {
    const char* name;
    Bytes file;
    int result;
};

inline Format imaFormat(uint16_t extraSize) {
    Format f;
    f.tag = 0x11;
    f.bits = 4;
    f.blockAlign = 256;
    put(f.extra, 505, 2);
    f.extra.resize(extraSize > 2 ? extraSize : 2);
    return f;
}

// Chunk layouts and formats with the result each must give.
inline std::vector<LayoutCase> layoutCases() {
    Bytes pcm = samples(testSignal(64), 2), fmt = chunk("fmt ", fmtBody(Format{})), data = chunk("data", pcm);
    Bytes big(2000, 0);
    Bytes head = fmtBody(Format{});
    std::copy(head.begin(), head.end(), big.begin());
    Format twelveBit, zeroChannels, badAlign, unknown, odd;
    twelveBit.bits = 12;
    twelveBit.blockAlign = 2;
    zeroChannels.channels = 0;
    zeroChannels.blockAlign = 2;
    badAlign.bits = 24;
    badAlign.blockAlign = 4;
    unknown.tag = 0x1234;
    unknown.withExtraSize = true;
    Format strangeSub = extensible(1, 16, 0x55);
    Bytes truncatedFmt =
        Bytes{'R', 'I', 'F', 'F', 100, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0};
    Bytes shortImaFmt = fmtBody(imaFormat(2));
    shortImaFmt[16] = 0xF4;  // extra size 500, two bytes present
    shortImaFmt[17] = 0x01;
    Bytes oneShortImaFmt = fmtBody(imaFormat(2));
    oneShortImaFmt[16] = 3;  // extra size 3, two bytes present
    return {
        {"plain 16-bit file", riff("WAVE", fmt + data), kWaveOk},
        {"other chunks before, between and after",
         riff("WAVE",
              chunk("LIST", Bytes(7, 'x')) + fmt + chunk("fact", Bytes(4, 0)) + data + chunk("cue ", Bytes(5, 1))),
         kWaveOk},
        {"odd-sized chunk ahead of fmt is padded", riff("WAVE", chunk("junk", Bytes(3, 0xAB)) + fmt + data), kWaveOk},
        {"second RIFF is the WAVE one", riff("AVI ", chunk("junk", Bytes(4, 0))) + riff("WAVE", fmt + data), kWaveOk},
        {"data ahead of fmt", riff("WAVE", data + fmt), kWaveNoData},
        {"RIFF of another form type", riff("AVI ", fmt + data), kWaveNoRiff},
        {"not a RIFF file", Bytes(100, 'A'), kWaveNoRiff},
        {"empty file", Bytes(), kWaveNoRiff},
        {"no fmt chunk", riff("WAVE", data), kWaveNoFormat},
        {"fmt cut short by the end of the file", truncatedFmt, kWaveShortFormat},
        {"fmt larger than the format buffer", riff("WAVE", chunk("fmt ", big) + data), kWaveShortFormat},
        {"fmt shorter than its extra bytes", riff("WAVE", chunk("fmt ", shortImaFmt) + data), kWaveShortFormat},
        {"fmt one byte shorter than its extra bytes", riff("WAVE", chunk("fmt ", oneShortImaFmt) + data),
         kWaveShortFormat},
        {"no data chunk", riff("WAVE", fmt + chunk("LIST", Bytes(8, 0))), kWaveNoData},
        {"data outside the RIFF chunk", riff("WAVE", fmt) + data, kWaveNoData},
        {"empty data", riff("WAVE", fmt + chunk("data", Bytes())), kWaveEmptyData},
        {"data cut short", riff("WAVE", fmt + chunk("data", pcm, 1000)), kWaveShortData},
        {"data size near 4 GB", riff("WAVE", fmt + chunk("data", pcm, 0xFFFFFFF0)), kWaveShortData},
        {"unknown format tag", wave(unknown, pcm), kConvertNoSuggestion},
        {"12-bit PCM", wave(twelveBit, pcm), kConvertNoSuggestion},
        {"no channels", wave(zeroChannels, pcm), kConvertNoSuggestion},
        {"24-bit PCM with a wrong block size", wave(badAlign, pcm), kConvertNoSuggestion},
        {"extensible with an unknown subformat", wave(strangeSub, pcm), kConvertNoSuggestion},
        {"zero bytes ahead of fmt", riff("WAVE", Bytes(8, 0) + fmt + data), kWaveNoFormat},
        {"zero bytes between fmt and data", riff("WAVE", fmt + Bytes(8, 0) + data), kWaveNoData},
        {"control character in a chunk id", riff("WAVE", chunk("ju\tk", Bytes(2, 0)) + fmt + data), kWaveNoFormat},
        {"byte above 0x7E in a chunk id", riff("WAVE", chunk("jun\x7F", Bytes(2, 0)) + fmt + data), kWaveNoFormat},
        {"chunk id below 0x20 ahead of the RIFF", chunk("\x1Funk", Bytes(4, 0)) + riff("WAVE", fmt + data),
         kWaveNoRiff},
        {"printable ids at both ends of the range", riff("WAVE", chunk(" ~ ~", Bytes(1, 0)) + fmt + data), kWaveOk},
        {"data header running past the end of the RIFF", riff("WAVE", fmt + data, int64_t(4 + fmt.size() + 4)),
         kWaveNoData},
        {"chunk size that wraps past 4 GB ahead of fmt",
         riff("WAVE", chunk("junk", Bytes(4, 0), 0xFFFFFFF8) + fmt + data), kWaveNoFormat},
        {"empty chunks up to the limit ahead of fmt",
         riff("WAVE", emptyChunks(platform::kMaxChunksPerSearch - 1) + fmt + data), kWaveOk},
        {"more empty chunks than the limit ahead of fmt",
         riff("WAVE", emptyChunks(platform::kMaxChunksPerSearch) + fmt + data), kWaveNoFormat},
    };
}

// Files of 2 GiB that are zeros after a short head (made sparse, so they take
// no disk space). Each must be refused without walking the zeros.
struct HugeCase {
    const char* name;
    Bytes head;
    uint64_t size;
    int result;
};

inline std::vector<HugeCase> hugeCases() {
    const uint64_t twoGiB = uint64_t(1) << 31;
    Bytes fmt = chunk("fmt ", fmtBody(Format{}));
    return {
        {"zeros only", Bytes(), twoGiB, kWaveNoRiff},
        {"RIFF WAVE header, then zeros", riff("WAVE", Bytes(), twoGiB - 8), twoGiB, kWaveNoFormat},
        {"RIFF WAVE header declaring 4 GB, then zeros", riff("WAVE", Bytes(), 0xFFFFFFFF), twoGiB, kWaveNoFormat},
        {"fmt, then zeros", riff("WAVE", fmt, twoGiB - 8), twoGiB, kWaveNoData},
        {"data declaring more than the file holds", riff("WAVE", fmt + chunk("data", Bytes(), 0xFFFFFFF0), twoGiB - 8),
         twoGiB, kWaveShortData},
    };
}

// What the Windows build gives where the system's converter mixes channels
// or resamples by its own rules (the one under Wine adds channels up, with
// clipping, and takes at most two).
enum class OnWindows { kSame, kSimilar, kRefused };

struct SampleCase {
    const char* name;
    Bytes file;
    std::vector<int32_t> expected;  // 16-bit values at 44.1 kHz
    OnWindows windows = OnWindows::kSame;
};

inline std::vector<SampleCase> sampleCases() {
    std::vector<int16_t> signal = testSignal(500);
    std::vector<int32_t> expected(signal.begin(), signal.end()), stereo;
    for (int16_t s : signal) stereo.push_back(s), stereo.push_back(s);
    Format pcm24, pcm32, float32, float64, pcm8, stereo16;
    pcm24.bits = 24;
    pcm32.bits = 32;
    float32.tag = 3;
    float32.bits = 32;
    float64.tag = 3;
    float64.bits = 64;
    pcm8.bits = 8;
    stereo16.channels = 2;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const double half = 1.0 / 65536;  // half of one 16-bit step
    return {
        {"16-bit mono", wave(Format{}, samples(signal, 2)), expected},
        {"16-bit stereo, equal channels", wave(stereo16, samples(stereo, 2)), expected, OnWindows::kSimilar},
        {"16-bit stereo, opposite channels",
         wave(stereo16, samples(std::vector<int>{1000, -1000, 32767, -32767}, 2)),
         {0, 0}},
        {"24-bit rounds to nearest",
         wave(pcm24, samples(std::vector<int>{0x7FFFFF, -0x800000, 0x80, 0x7F, -129, -128, 0x123456}, 3)),
         {32767, -32768, 1, 0, -1, 0, 0x1234}},
        {"32-bit rounds to nearest",
         wave(pcm32, samples(std::vector<int64_t>{0x7FFFFFFF, -0x80000000LL, 0x8000, 0x7FFF, 0x12345678}, 4)),
         {32767, -32768, 1, 0, 0x1234}},
        {"float clamps and rounds",
         wave(float32, floats(std::vector<float>{1.0f, -1.0f, 1.5f, -3.0f, nan, 0.5f, float(half), float(-half),
                                                 32767.0f / 32768})),
         {32767, -32768, 32767, -32768, 0, 16384, 1, 0, 32767}},
        {"double",
         wave(float64, floats(std::vector<double>{-1.0, 0.25, 1e300, 1.0 / 32768})),
         {-32768, 8192, 32767, 1}},
        {"8-bit unsigned", wave(pcm8, samples(std::vector<int>{0, 255, 128, 129}, 1)), {-32768, 32512, 0, 256}},
        {"extensible 16-bit, four equal channels",
         wave(extensible(4, 16, 1), samples(std::vector<int>{-32768, -32768, -32768, -32768, 7, 7, 7, 7}, 2)),
         {-32768, 7},
         OnWindows::kRefused},
        {"extensible float stereo",
         wave(extensible(2, 32, 3), floats(std::vector<float>{0.5f, 0.5f, -1.0f, -1.0f})),
         {16384, -32768},
         OnWindows::kSimilar},
        {"extensible 24-bit", wave(extensible(1, 24, 1), samples(std::vector<int>{0x7FFFFF, 0x100}, 3)), {32767, 1}},
        {"extensible 8-bit", wave(extensible(1, 8, 1), samples(std::vector<int>{0, 200}, 1)), {-32768, 18432}},
        {"two frames", wave(Format{}, samples(std::vector<int>{5, -5}, 2)), {5, -5}},
    };
}

// One line of the corpus manifest.
struct CorpusEntry {
    std::string file, mode, reference;
    int tolerance = 0, slack = 0;
    OnWindows windows = OnWindows::kSame;
};

inline std::vector<CorpusEntry> readManifest(const std::string& dir) {
    std::vector<CorpusEntry> entries;
    std::ifstream in(dir + "/manifest");
    std::string line;
    while (std::getline(in, line)) {
        CorpusEntry e;
        std::istringstream fields(line);
        std::string windows;
        if (!(fields >> e.file >> e.mode >> e.reference >> e.tolerance >> e.slack >> windows)) continue;
        e.windows = windows == "similar"   ? OnWindows::kSimilar
                    : windows == "refused" ? OnWindows::kRefused
                                           : OnWindows::kSame;
        entries.push_back(e);
    }
    return entries;
}

inline std::vector<int32_t> readRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<int32_t> values;
    char pair[2];
    while (in.read(pair, 2)) values.push_back(int16_t(uint16_t(uint8_t(pair[0]) | uint8_t(pair[1]) << 8)));
    return values;
}

// Empty when the file decodes as its manifest line expects, else what differs.
inline std::string checkCorpusEntry(const std::string& dir, const CorpusEntry& e) {
    Decoded d = decode(dir + "/" + e.file);
    std::vector<int32_t> ref = readRaw(dir + "/" + e.reference);
    std::ostringstream why;
    if (d.result != 0) return (why << "result " << d.result, why.str());
    if (!d.allExact) return "floats are not 16-bit values / 32768";
    if (ref.empty()) return "no reference samples";
    long lengthDiff = long(d.values.size()) - long(ref.size());
    if (std::labs(lengthDiff) > e.slack)
        return (why << d.values.size() << " frames, expected " << ref.size(), why.str());
    size_t n = std::min(d.values.size(), ref.size());
    if (e.mode == "exact") {
        for (size_t i = 0; i < n; i++)
            if (std::abs(d.values[i] - ref[i]) > e.tolerance)
                return (why << "frame " << i << ": " << d.values[i] << ", expected " << ref[i], why.str());
        return "";
    }
    // Leave out the resampler's settling time at both ends.
    double error = 0, energy = 0;
    for (size_t i = n / 20; i < n - n / 20; i++) {
        error += double(d.values[i] - ref[i]) * (d.values[i] - ref[i]);
        energy += double(ref[i]) * ref[i];
    }
    double permille = 1000.0 * std::sqrt(error / energy);
    if (permille > e.tolerance) return (why << "error " << permille << " permille of the signal", why.str());
    return "";
}

// For a converter whose gain and delay are its own: the file must give the
// reference's signal (correlation at the best lag within 1.5 ms of at least
// 0.95) and within slack frames of its length. Empty when it does.
inline std::string checkSimilar(const std::string& dir, const CorpusEntry& e) {
    Decoded d = decode(dir + "/" + e.file);
    std::vector<int32_t> ref = readRaw(dir + "/" + e.reference);
    std::ostringstream why;
    if (d.result != 0) return (why << "result " << d.result, why.str());
    long lengthDiff = long(d.values.size()) - long(ref.size());
    if (std::labs(lengthDiff) > e.slack)
        return (why << d.values.size() << " frames, expected " << ref.size(), why.str());
    size_t n = std::min(d.values.size(), ref.size());
    double best = -1;
    for (int lag = -64; lag <= 64; lag++) {
        double xy = 0, xx = 0, yy = 0;
        for (size_t i = n / 20 + 64; i + 64 < n - n / 20; i++) {
            double x = d.values[i + lag], y = ref[i];
            xy += x * y, xx += x * x, yy += y * y;
        }
        best = std::max(best, xy / std::sqrt(xx * yy + 1e-9));
    }
    if (best < 0.95) return (why << "correlation " << best, why.str());
    return "";
}

}  // namespace wavetest
