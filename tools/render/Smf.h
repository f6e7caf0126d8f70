// Standard MIDI File reading: format 0 and 1, all tracks merged, tempo map
// applied, every channel message placed on its exact output frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace smf {

struct Event {
    int64_t frame;     // output frame at the event's time
    uint8_t bytes[3];  // status and up to two data bytes
};

struct Song {
    std::vector<Event> events;  // channel messages only, in time order
    int64_t lastFrame = 0;      // frame of the last event of any kind
};

// Parses the file's bytes; on failure returns false with a one-line reason.
bool parse(const std::vector<uint8_t>& data, int sampleRate, Song& song, std::string& error);
bool load(const std::string& path, int sampleRate, Song& song, std::string& error);

}  // namespace smf
