// A small WAV writer for the reader's tests: any chunk layout, sizes that lie,
// and the sample formats the reader takes. Portable (also built for Wine).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace wavetest {

using Bytes = std::vector<uint8_t>;

inline void put(Bytes& b, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; i++) b.push_back(uint8_t(v >> (8 * i)));
}

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A chunk with its pad byte; declaredSize replaces the true size in the header.
inline Bytes chunk(const char* id, const Bytes& body, int64_t declaredSize = -1) {
    Bytes b(id, id + 4);
    put(b, declaredSize >= 0 ? uint64_t(declaredSize) : body.size(), 4);
    b.insert(b.end(), body.begin(), body.end());
    if (body.size() & 1) b.push_back(0);
    return b;
}

inline Bytes riff(const char* form, const Bytes& chunks, int64_t declaredSize = -1) {
    return chunk("RIFF", Bytes(form, form + 4) + chunks, declaredSize);
}

struct Format {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    uint16_t blockAlign = 0;  // 0: channels * bits / 8
    bool withExtraSize = false;
    Bytes extra;  // written after the extra size field
};

inline Bytes fmtBody(const Format& f) {
    uint16_t align = f.blockAlign ? f.blockAlign : uint16_t(f.channels * f.bits / 8);
    Bytes b;
    put(b, f.tag, 2);
    put(b, f.channels, 2);
    put(b, f.rate, 4);
    put(b, uint64_t(f.rate) * align, 4);
    put(b, align, 2);
    put(b, f.bits, 2);
    if (f.withExtraSize || !f.extra.empty()) {
        put(b, f.extra.size(), 2);
        b.insert(b.end(), f.extra.begin(), f.extra.end());
    }
    return b;
}

// WAVE_FORMAT_EXTENSIBLE with a PCM (1) or float (3) subformat.
inline Format extensible(uint16_t channels, uint16_t bits, uint16_t subformat, uint32_t rate = 44100) {
    Format f;
    f.tag = 0xFFFE;
    f.channels = channels;
    f.rate = rate;
    f.bits = bits;
    put(f.extra, bits, 2);  // valid bits
    put(f.extra, channels == 1 ? 4 : 3, 4);
    put(f.extra, subformat, 4);
    const uint8_t tail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    f.extra.insert(f.extra.end(), tail, tail + 12);
    return f;
}

inline Bytes wave(const Format& f, const Bytes& data) {
    return riff("WAVE", chunk("fmt ", fmtBody(f)) + chunk("data", data));
}

// Samples as little-endian integers of the given size.
template <typename T>
Bytes samples(const std::vector<T>& values, int bytes) {
    Bytes b;
    for (T v : values) put(b, uint64_t(int64_t(v)), bytes);
    return b;
}

template <typename T>
Bytes floats(const std::vector<T>& values) {
    Bytes b(values.size() * sizeof(T));
    std::memcpy(b.data(), values.data(), b.size());
    return b;
}

// A deterministic signal that holds both ends of the 16-bit range.
inline std::vector<int16_t> testSignal(size_t frames) {
    std::vector<int16_t> s(frames);
    uint32_t state = 12345;
    for (size_t i = 0; i < frames; i++) {
        state = state * 1664525u + 1013904223u;
        s[i] = int16_t(state >> 16);
    }
    if (frames > 2) {
        s[0] = 32767;
        s[1] = -32768;
        s[2] = 0;
    }
    return s;
}

inline bool writeFile(const std::string& path, const Bytes& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace wavetest
