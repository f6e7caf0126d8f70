// Standard MIDI File encoding of the demo groove.
#include <algorithm>
#include <cmath>
#include <string>

#include "Groove.h"

namespace kitgen {

namespace {

constexpr std::uint32_t kNoteLength = 60;  // a 32nd: the sampler ignores offs, other hosts may not
constexpr std::uint8_t kDrumChannel = 9;

void putBig(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; i--) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putVarLen(std::vector<std::uint8_t>& out, std::uint32_t v) {
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<std::uint8_t>(v & 0x7F);
        v >>= 7;
    } while (v);
    while (n > 1) out.push_back(static_cast<std::uint8_t>(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

void putMeta(std::vector<std::uint8_t>& track, std::uint32_t delta, std::uint8_t type, const std::string& data) {
    putVarLen(track, delta);
    track.push_back(0xFF);
    track.push_back(type);
    putVarLen(track, static_cast<std::uint32_t>(data.size()));
    track.insert(track.end(), data.begin(), data.end());
}

void putChunk(std::vector<std::uint8_t>& file, const char* id, const std::vector<std::uint8_t>& body) {
    file.insert(file.end(), id, id + 4);
    putBig(file, static_cast<std::uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
}

struct Event {
    std::uint32_t tick;
    bool on;
    int note, velocity;
};

std::vector<Event> noteEvents(const Groove& g) {
    std::vector<Event> events;
    for (std::size_t i = 0; i < g.hits.size(); i++) {
        const Hit& h = g.hits[i];
        // A note ends before the same note starts again, also in a flam.
        std::uint32_t off = h.tick + kNoteLength;
        for (std::size_t j = i + 1; j < g.hits.size() && g.hits[j].tick < off; j++)
            if (g.hits[j].note == h.note) off = g.hits[j].tick;
        events.push_back({h.tick, true, h.note, h.velocity});
        events.push_back({off, false, h.note, 0});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : (!a.on && b.on);
    });
    return events;
}

}  // namespace

std::vector<std::uint8_t> encodeMidi(const Groove& g) {
    std::vector<Event> events = noteEvents(g);
    const std::uint32_t end = events.empty() ? 0 : events.back().tick;

    std::vector<std::uint8_t> tempoTrack;
    putMeta(tempoTrack, 0, 0x03, "KZ318 demo groove");
    putMeta(tempoTrack, 0, 0x58, std::string("\x04\x02\x18\x08", 4));  // 4/4
    std::uint32_t at = 0;
    for (const TempoChange& t : g.tempos) {
        std::uint32_t usPerQuarter = static_cast<std::uint32_t>(std::lround(60000000.0 / t.bpm));
        std::string data{static_cast<char>(usPerQuarter >> 16), static_cast<char>(usPerQuarter >> 8),
                         static_cast<char>(usPerQuarter)};
        putMeta(tempoTrack, t.tick - at, 0x51, data);
        at = t.tick;
    }
    putMeta(tempoTrack, end - at, 0x2F, "");

    std::vector<std::uint8_t> drumTrack;
    putMeta(drumTrack, 0, 0x03, "Drums");
    at = 0;
    bool statusSent = false;
    for (const Event& e : events) {
        putVarLen(drumTrack, e.tick - at);
        at = e.tick;
        if (!statusSent) drumTrack.push_back(0x90 | kDrumChannel);
        statusSent = true;
        drumTrack.push_back(static_cast<std::uint8_t>(e.note));
        drumTrack.push_back(static_cast<std::uint8_t>(e.velocity));
    }
    putMeta(drumTrack, 0, 0x2F, "");

    std::vector<std::uint8_t> file;
    std::vector<std::uint8_t> header;
    putBig(header, 1, 2);  // format 1
    putBig(header, 2, 2);
    putBig(header, static_cast<std::uint32_t>(g.ticksPerQuarter), 2);
    putChunk(file, "MThd", header);
    putChunk(file, "MTrk", tempoTrack);
    putChunk(file, "MTrk", drumTrack);
    return file;
}

}  // namespace kitgen
