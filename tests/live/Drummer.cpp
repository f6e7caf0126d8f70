#include "live/Drummer.h"

#include <jack/midiport.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <chrono>

#include "live/LiveHarness.h"

namespace livetest {

Drummer::Drummer(const std::string& server, size_t capacity) {
    jack_status_t status;
    const jack_options_t options = jack_options_t(JackNoStartServer | JackServerName);
    sender = jack_client_open("drummer", options, &status, server.c_str());
    recorder = jack_client_open("listener", options, &status, server.c_str());
    if (!ok()) return;
    midiOut = jack_port_register(sender, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    for (size_t i = 0; i < inputs.size(); i++) {
        inputs[i] = jack_port_register(recorder, ("in_" + std::to_string(i + 1)).c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                       JackPortIsInput, 0);
        recorded[i].assign(capacity, 0.0f);
    }
    jack_set_process_callback(sender, send, this);
    jack_set_process_callback(recorder, record, this);
    jack_set_xrun_callback(recorder, xrun, this);
    jack_activate(sender);
    jack_activate(recorder);
}

Drummer::~Drummer() {
    if (recorder) jack_client_close(recorder);
    if (sender) jack_client_close(sender);
}

bool Drummer::connect(const std::string& client) {
    static const char* const outputs[8] = {"Kz3 1L", "Kz3 1R", "Kz3 2L", "Kz3 2R",
                                           "Kz3 3L", "Kz3 3R", "Kz3 4L", "Kz3 4R"};
    bool ok = jack_connect(sender, jack_port_name(midiOut), (client + ":midi_in").c_str()) == 0;
    for (int i = 0; i < 8; i++)
        ok = ok && jack_connect(recorder, (client + ":" + outputs[i]).c_str(), jack_port_name(inputs[size_t(i)])) == 0;
    return ok;
}

bool Drummer::play(const std::vector<MidiEvent>& sequence, size_t frames) {
    done = 0;
    xruns = 0;
    refused = 0;
    events = &sequence;
    armed = true;
    const bool finished = waitFor([&] { return done.load() >= frames; }, 30000);
    armed = false;
    started = false;
    quiet();
    return finished;
}

// Returns once both clients ran a period since they were stopped: nothing of
// the last run is in flight then.
void Drummer::quiet() {
    const int sender = senderIdle.load(), recorder = recorderIdle.load();
    waitFor([&] { return senderIdle.load() > sender && recorderIdle.load() > recorder; }, 10000);
}

int Drummer::midiCapacity() const {
    waitFor([&] { return capacity.load() >= 0; }, 10000);
    return capacity.load();
}

int Drummer::send(jack_nframes_t frames, void* self) {
    Drummer& d = *static_cast<Drummer*>(self);
    void* buffer = jack_port_get_buffer(d.midiOut, frames);
    jack_midi_clear_buffer(buffer);
    if (d.capacity.load() < 0) {
        // Filled and cleared again: the probe sends nothing.
        const uint8_t pressure[2] = {0xD0, 0};
        int taken = 0;
        while (taken < 100000 && jack_midi_event_write(buffer, 0, pressure, 2) == 0) taken++;
        jack_midi_clear_buffer(buffer);
        d.capacity = taken;
    }
    if (!d.armed.load()) {
        d.senderIdle++;
        return 0;
    }
    if (!d.started.load()) {
        d.next = 0;
        d.sent = 0;
        d.started = true;
    }
    const std::vector<MidiEvent>& all = *d.events.load();
    for (; d.next < all.size() && all[d.next].frame < d.sent + int64_t(frames); d.next++) {
        const MidiEvent& e = all[d.next];
        if (jack_midi_event_write(buffer, jack_nframes_t(e.frame - d.sent), e.bytes.data(), e.bytes.size()) != 0)
            d.refused++;
    }
    d.sent += frames;
    return 0;
}

int Drummer::record(jack_nframes_t frames, void* self) {
    Drummer& d = *static_cast<Drummer*>(self);
    if (!d.started.load()) {
        d.recorderIdle++;
        return 0;
    }
    const size_t at = d.done.load();
    const size_t room = d.recorded[0].size() - std::min(at, d.recorded[0].size());
    const size_t count = std::min<size_t>(frames, room);
    for (size_t c = 0; c < 8; c++) {
        const float* in = static_cast<const float*>(jack_port_get_buffer(d.inputs[c], frames));
        std::memcpy(d.recorded[c].data() + at, in, count * sizeof(float));
    }
    d.done = at + frames;
    return 0;
}

int Drummer::xrun(void* self) {
    Drummer& d = *static_cast<Drummer*>(self);
    if (d.started.load()) d.xruns++;
    return 0;
}

namespace {

void variableLength(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = uint8_t(value & 0x7F);
        value >>= 7;
    } while (value);
    while (n > 1) out.push_back(uint8_t(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

void bigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; i--) out.push_back(uint8_t(value >> (8 * i)));
}

// A 32-bit float stereo WAV's samples, interleaved.
bool readFloatWave(const std::string& path, std::vector<float>& samples) {
    const std::vector<uint8_t> data = readBytes(path);
    if (data.size() < 12 || std::memcmp(data.data(), "RIFF", 4) != 0) return false;
    for (size_t at = 12; at + 8 <= data.size();) {
        uint32_t size;
        std::memcpy(&size, data.data() + at + 4, 4);
        if (std::memcmp(data.data() + at, "data", 4) == 0 && at + 8 + size <= data.size()) {
            samples.resize(size / 4);
            std::memcpy(samples.data(), data.data() + at + 8, samples.size() * 4);
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

}  // namespace

bool writeMidiFile(const std::string& path, const std::vector<MidiEvent>& events) {
    // 441 ticks a quarter at 10 ms a quarter: one tick is one frame at 44100 Hz.
    std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x00, 0x27, 0x10};
    int64_t last = 0;
    for (const MidiEvent& e : events) {
        variableLength(track, uint32_t(e.frame - last));
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
        last = e.frame;
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
    bigEndian(file, 441, 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    bigEndian(file, uint32_t(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
    return writeBytes(path, file);
}

bool renderReference(const std::string& midi, const std::string& kit, int block, const std::string& folder,
                     std::array<std::vector<float>, 8>& channels, std::string& error) {
    const std::string out = folder + "/reference.wav";
    const std::string command = "'" + programs.render + "' --quiet --stems --kit '" + kit + "' --block " +
                                std::to_string(block) + " --out '" + out + "' '" + midi + "' >'" + folder +
                                "/render.log' 2>&1";
    if (std::system(command.c_str()) != 0)
        return (error = "kz318-render failed: " + readText(folder + "/render.log")), false;
    for (int pair = 0; pair < 4; pair++) {
        std::vector<float> stereo;
        const std::string stem = folder + "/reference-" + std::to_string(pair + 1) + ".wav";
        if (!readFloatWave(stem, stereo)) return (error = "cannot read " + stem), false;
        channels[size_t(2 * pair)].clear();
        channels[size_t(2 * pair + 1)].clear();
        for (size_t i = 0; i + 1 < stereo.size(); i += 2) {
            channels[size_t(2 * pair)].push_back(stereo[i]);
            channels[size_t(2 * pair + 1)].push_back(stereo[i + 1]);
        }
    }
    return true;
}

}  // namespace livetest
