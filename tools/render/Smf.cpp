#include "render/Smf.h"

#include <algorithm>
#include <cstdio>

namespace smf {
namespace {

struct Raw {
    uint64_t tick;
    int track;
    size_t order;
    uint8_t bytes[3];
    bool tempo;
    uint32_t usPerQuarter;
};

class Reader {
public:
    Reader(const uint8_t* p, size_t n) : p(p), n(n) {}
    bool byte(uint8_t& v) {
        if (at >= n) return false;
        v = p[at++];
        return true;
    }
    bool varlen(uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; i++) {
            uint8_t b;
            if (!byte(b)) return false;
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;  // longer than four bytes: not a valid quantity
    }
    bool skip(uint32_t count) {
        if (n - at < count) return false;
        at += count;
        return true;
    }
    bool done() const { return at >= n; }
    size_t pos() const { return at; }

private:
    const uint8_t* p;
    size_t n;
    size_t at = 0;
};

uint32_t be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint16_t be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

int dataBytes(uint8_t status) {
    uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

bool readTrack(const uint8_t* p, size_t n, int track, std::vector<Raw>& out, std::string& error) {
    Reader r(p, n);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!r.done()) {
        uint32_t delta;
        uint8_t status;
        if (!r.varlen(delta) || !r.byte(status)) return (error = "truncated MIDI track"), false;
        tick += delta;
        Raw e{tick, track, out.size(), {0, 0, 0}, false, 0};
        if (status == 0xFF) {
            uint8_t type;
            uint32_t len;
            if (!r.byte(type) || !r.varlen(len)) return (error = "truncated MIDI meta event"), false;
            size_t start = r.pos();
            if (!r.skip(len)) return (error = "truncated MIDI meta event"), false;
            if (type == 0x2F) return true;  // end of track
            if (type == 0x51 && len == 3) {
                e.tempo = true;
                e.usPerQuarter = uint32_t(p[start]) << 16 | uint32_t(p[start + 1]) << 8 | p[start + 2];
                if (e.usPerQuarter == 0) return (error = "MIDI tempo of zero"), false;
                out.push_back(e);
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            uint32_t len;
            if (!r.varlen(len) || !r.skip(len)) return (error = "truncated MIDI system-exclusive event"), false;
            running = 0;
            continue;
        }
        int first = 0;
        if (status & 0x80) {
            if (status >= 0xF0) return (error = "unexpected system message in MIDI track"), false;
            running = status;
        } else {
            if (!running) return (error = "MIDI data byte without a status"), false;
            e.bytes[1] = status;  // running status: this was the first data byte
            first = 1;
        }
        e.bytes[0] = running;
        for (int i = 1 + first; i <= dataBytes(running); i++)
            if (!r.byte(e.bytes[i])) return (error = "truncated MIDI channel message"), false;
        out.push_back(e);
    }
    return true;  // a track without end-of-track marker is accepted
}

// Unsigned 128-bit arithmetic for the exact frame of an event: the 32-bit
// compilers have no 128-bit integer type.
struct Wide {
    uint64_t hi = 0, lo = 0;

    void add(Wide w) {
        lo += w.lo;
        hi += w.hi + (lo < w.lo);
    }
    static Wide product(uint64_t a, uint32_t b) {
        uint64_t low = (a & 0xFFFFFFFFu) * b, high = (a >> 32) * b;
        Wide w;
        w.lo = low + (high << 32);
        w.hi = (high >> 32) + (w.lo < low);
        return w;
    }
    Wide times(uint32_t b) const {
        Wide w = product(lo, b);
        w.hi += hi * b;
        return w;
    }
    // Quotient by a divisor below 2^63, bit by bit.
    uint64_t over(uint64_t divisor) const {
        uint64_t remainder = 0, quotient = 0;
        for (int bit = 127; bit >= 0; bit--) {
            remainder = remainder << 1 | ((bit >= 64 ? hi >> (bit - 64) : lo >> bit) & 1);
            quotient <<= 1;
            if (remainder >= divisor) {
                remainder -= divisor;
                quotient |= 1;
            }
        }
        return quotient;
    }
};

}  // namespace

bool parse(const std::vector<uint8_t>& data, int sampleRate, Song& song, std::string& error) {
    const uint8_t* p = data.data();
    size_t n = data.size();
    if (n < 14 || std::string(reinterpret_cast<const char*>(p), 4) != "MThd" || be32(p + 4) < 6)
        return (error = "not a Standard MIDI File"), false;
    size_t headerEnd = 8 + static_cast<size_t>(be32(p + 4));
    if (headerEnd > n) return (error = "truncated MIDI header"), false;
    uint16_t format = be16(p + 8), tracks = be16(p + 10), division = be16(p + 12);
    if (format > 1) return (error = "MIDI format " + std::to_string(format) + " is not supported"), false;
    if (division == 0) return (error = "MIDI division of zero"), false;

    std::vector<Raw> raw;
    size_t at = headerEnd;
    for (int t = 0; t < tracks; t++) {
        // Skip chunks that are not tracks, as the format allows.
        while (true) {
            if (n - at < 8) return (error = "truncated MIDI file: missing track " + std::to_string(t + 1)), false;
            uint32_t len = be32(p + at + 4);
            if (n - at - 8 < len) return (error = "truncated MIDI track " + std::to_string(t + 1)), false;
            bool isTrack = std::string(reinterpret_cast<const char*>(p + at), 4) == "MTrk";
            at += 8;
            if (isTrack) {
                if (!readTrack(p + at, len, t, raw, error)) return false;
                at += len;
                break;
            }
            at += len;
        }
    }
    std::stable_sort(raw.begin(), raw.end(), [](const Raw& a, const Raw& b) { return a.tick < b.tick; });

    // Time in units of microseconds x ticks-per-quarter, exact in integers.
    // SMPTE division: ticks per second = frames per second x ticks per frame.
    bool smpte = division & 0x8000;
    uint64_t ticksPerQuarter = division;
    uint32_t usPerQuarter = 500000;
    if (smpte) {
        int fps = -static_cast<int8_t>(division >> 8);
        uint64_t perSecond = static_cast<uint64_t>(fps == 29 ? 30 : fps) * (division & 0xFF);
        if (perSecond == 0) return (error = "invalid MIDI time division"), false;
        ticksPerQuarter = perSecond;
        usPerQuarter = 1000000;
    }
    Wide elapsed;  // sum of ticks x microseconds per quarter
    uint64_t lastTick = 0;
    const uint64_t denominator = ticksPerQuarter * 1000000u;
    song = Song();
    for (const Raw& e : raw) {
        elapsed.add(Wide::product(e.tick - lastTick, usPerQuarter));
        lastTick = e.tick;
        Wide rounded = elapsed.times(static_cast<uint32_t>(sampleRate));
        rounded.add(Wide{0, denominator / 2});
        int64_t frame = static_cast<int64_t>(rounded.over(denominator));
        song.lastFrame = frame;
        if (e.tempo) {
            if (!smpte) usPerQuarter = e.usPerQuarter;
            continue;
        }
        song.events.push_back({frame, {e.bytes[0], e.bytes[1], e.bytes[2]}});
    }
    return true;
}

bool load(const std::string& path, int sampleRate, Song& song, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return (error = "cannot open MIDI file " + path), false;
    std::vector<uint8_t> data;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), f)) > 0) data.insert(data.end(), buffer, buffer + got);
    std::fclose(f);
    if (!parse(data, sampleRate, song, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace smf
