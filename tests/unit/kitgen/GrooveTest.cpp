#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "Groove.h"

namespace {

struct Parsed {
    int format = -1, tracks = 0, ticksPerQuarter = 0;
    int noteOns = 0, noteOffs = 0, tempoChanges = 0, runningStatus = 0;
    std::set<int> notes, velocities;
    std::uint32_t lastTick = 0;
    std::string error;
};

std::uint32_t be(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; i++) v = v << 8 | b[at + i];
    return v;
}

std::uint32_t varLen(const std::vector<std::uint8_t>& b, std::size_t& p, std::size_t end) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && p < end; i++) {
        std::uint8_t c = b[p++];
        v = v << 7 | (c & 0x7F);
        if (!(c & 0x80)) return v;
    }
    throw std::string("bad variable-length value");
}

// Walks a track; every track must end with exactly one end-of-track at its end.
void walkTrack(const std::vector<std::uint8_t>& b, std::size_t p, std::size_t end, Parsed& out) {
    std::uint32_t tick = 0;
    int status = 0;
    while (p < end) {
        tick += varLen(b, p, end);
        if (p >= end) throw std::string("event past the chunk");
        if (b[p] == 0xFF) {
            int type = b[p + 1];
            p += 2;
            std::uint32_t length = varLen(b, p, end);
            if (type == 0x51) out.tempoChanges++;
            p += length;
            if (type == 0x2F) {
                if (p != end) throw std::string("end of track before the chunk ends");
                out.lastTick = std::max(out.lastTick, tick);
                return;
            }
            status = 0;
            continue;
        }
        if (b[p] & 0x80)
            status = b[p++];
        else
            out.runningStatus++;
        if ((status & 0xE0) != 0x80) throw std::string("unexpected status");
        int note = b[p], velocity = b[p + 1];
        p += 2;
        out.notes.insert(note);
        if ((status & 0xF0) == 0x90 && velocity > 0) {
            out.noteOns++;
            out.velocities.insert(velocity);
        } else {
            out.noteOffs++;
        }
    }
    throw std::string("track without end of track");
}

Parsed parse(const std::vector<std::uint8_t>& b) {
    Parsed out;
    try {
        if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || be(b, 4, 4) != 6)
            throw std::string("bad header");
        out.format = static_cast<int>(be(b, 8, 2));
        out.ticksPerQuarter = static_cast<int>(be(b, 12, 2));
        int declared = static_cast<int>(be(b, 10, 2));
        std::size_t p = 14;
        while (p < b.size()) {
            if (p + 8 > b.size() || std::string(b.begin() + p, b.begin() + p + 4) != "MTrk")
                throw std::string("bad track chunk");
            std::size_t end = p + 8 + be(b, p + 4, 4);
            if (end > b.size()) throw std::string("track chunk longer than the file");
            walkTrack(b, p + 8, end, out);
            out.tracks++;
            p = end;
        }
        if (out.tracks != declared) throw std::string("track count");
    } catch (const std::string& e) {
        out.error = e;
    }
    return out;
}

TEST(DemoGroove, IsAWellFormedFormat1FileOnThePadNotes) {
    std::vector<std::uint8_t> file = kitgen::encodeMidi(kitgen::demoGroove());
    Parsed p = parse(file);
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.format, 1);
    EXPECT_EQ(p.tracks, 2);
    EXPECT_EQ(*p.notes.begin(), 48);
    EXPECT_EQ(*p.notes.rbegin(), 63);
    EXPECT_EQ(p.notes.size(), 16u) << "every pad is played";
    EXPECT_EQ(p.noteOns, p.noteOffs);
    EXPECT_GT(p.runningStatus, p.noteOns) << "drum track uses running status";
    EXPECT_GE(p.tempoChanges, 2);
    // Ghost notes and accents, not one flat velocity.
    EXPECT_LT(*p.velocities.begin(), 50);
    EXPECT_GT(*p.velocities.rbegin(), 115);
    const double bars = p.lastTick / (4.0 * p.ticksPerQuarter);
    EXPECT_GE(bars, 16.0);
    EXPECT_LE(bars, 24.0);
}

TEST(DemoGroove, HitsAreSortedAndTheCommittedFileIsCurrent) {
    kitgen::Groove g = kitgen::demoGroove();
    for (std::size_t i = 1; i < g.hits.size(); i++) ASSERT_LE(g.hits[i - 1].tick, g.hits[i].tick);
    ASSERT_EQ(g.tempos.front().tick, 0u);
    std::ifstream in(std::string(KZ_SOURCE_DIR) + "/examples/demo-groove.mid", std::ios::binary);
    ASSERT_TRUE(in);
    std::vector<std::uint8_t> committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(committed == kitgen::encodeMidi(g));
}

}  // namespace
