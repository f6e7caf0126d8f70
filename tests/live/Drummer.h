// The test's drummer and listener: one client sends a MIDI sequence into
// kz318-live, another records its eight outputs. Two clients, so the graph
// runs sender, instrument, recorder within one period and the recording's
// first frame is the sequence's first frame. Periods are counted, not read
// from the server's frame clock, which jumps when the dummy server is late.
#pragma once

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace livetest {

struct MidiEvent {
    int64_t frame;
    std::vector<uint8_t> bytes;
};

class Drummer {
public:
    // Clients on the server named `server`; `capacity` frames are recorded.
    Drummer(const std::string& server, size_t capacity);
    ~Drummer();
    bool ok() const { return sender && recorder; }
    // Connects to the instrument's MIDI input and outputs under `client`.
    bool connect(const std::string& client);
    // Plays the events from the next period on and records until `frames`
    // frames are in; false when that did not happen in time.
    bool play(const std::vector<MidiEvent>& events, size_t frames);
    // Whether the server ran late (an xrun) after the sequence started: the
    // run says nothing then.
    bool spoiled() const { return xruns.load() > 0; }
    int refusedEvents() const { return refused.load(); }
    int xrunCount() const { return xruns.load(); }
    // How many two-byte events one period's MIDI buffer takes on this server
    // (jackd1: about 250 unless started with a larger -M).
    int midiCapacity() const;
    const std::vector<float>& channel(int c) const { return recorded[size_t(c)]; }
    jack_client_t* client() const { return sender; }

private:
    static int send(jack_nframes_t frames, void* self);
    static int record(jack_nframes_t frames, void* self);
    static int xrun(void* self);
    void quiet();

    jack_client_t* sender = nullptr;
    jack_client_t* recorder = nullptr;
    jack_port_t* midiOut = nullptr;
    std::array<jack_port_t*, 8> inputs = {};
    std::atomic<const std::vector<MidiEvent>*> events{nullptr};
    size_t next = 0;   // [sender]
    int64_t sent = 0;  // [sender] frames of the sequence gone by
    std::atomic<bool> armed{false}, started{false};
    std::atomic<size_t> done{0};
    std::atomic<int> xruns{0}, refused{0}, capacity{-1};
    std::atomic<int> senderIdle{0}, recorderIdle{0};  // periods run while stopped
    std::array<std::vector<float>, 8> recorded;
};

// Writes the events as a Standard MIDI File whose ticks are frames at 44100 Hz.
bool writeMidiFile(const std::string& path, const std::vector<MidiEvent>& events);
// The eight channels kz318-render gives for the file, with this block size.
bool renderReference(const std::string& midi, const std::string& kit, int block, const std::string& folder,
                     std::array<std::vector<float>, 8>& channels, std::string& error);

}  // namespace livetest
