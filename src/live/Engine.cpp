#include "live/Engine.h"

#include <jack/midiport.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "face/Face.h"

namespace live {

namespace {

const char* const kOutputNames[face::kAudioOutputs] = {"Kz3 1L", "Kz3 1R", "Kz3 2L", "Kz3 2R",
                                                       "Kz3 3L", "Kz3 3R", "Kz3 4L", "Kz3 4R"};

// "system:playback_1/2" for two ports that differ only at the end.
std::string pairName(const std::string& a, const std::string& b) {
    size_t same = 0;
    while (same < a.size() && same < b.size() && a[same] == b[same]) same++;
    while (same > 0 && std::isdigit(static_cast<unsigned char>(a[same - 1]))) same--;
    return a + "/" + b.substr(same);
}

// Some servers refuse a name in use as a server error: a client under a name
// of the server's choice tells whether the server is there at all.
std::string whyNotOpen(const std::string& name, jack_status_t status) {
    if (status & JackInvalidOption) return "\"" + name + "\" cannot be a JACK client name";
    bool running = (status & JackNameNotUnique) != 0;
    if (!running) {
        jack_client_t* other = jack_client_open(name.c_str(), JackNoStartServer, &status);
        running = other != nullptr;
        if (other) jack_client_close(other);
    }
    if (running) return "the JACK client name " + name + " is taken (choose another with --name)";
    return "no JACK server is running (start one with jackd, or PipeWire's JACK)";
}

}  // namespace

Engine::~Engine() {
    stop();
    if (client) jack_client_close(client);
}

bool Engine::open(const std::string& name, std::string& error) {
    jack_status_t status;
    client = jack_client_open(name.c_str(), jack_options_t(JackNoStartServer | JackUseExactName), &status);
    if (!client) {
        error = whyNotOpen(name, status);
        return false;
    }
    midiIn = jack_port_register(client, "midi_in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    bool ok = midiIn != nullptr;
    for (int i = 0; i < face::kAudioOutputs && ok; i++) {
        outputs[i] = jack_port_register(client, kOutputNames[i], JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        ok = outputs[i] != nullptr;
    }
    if (!ok) return (error = "the JACK server refused the client's ports"), false;
    rate = jack_get_sample_rate(client);
    period = jack_get_buffer_size(client);
    return true;
}

bool Engine::start(AEffect* plugin, std::string& error, JackProcessCallback callback) {
    effect = plugin;
    jack_set_process_callback(client, callback ? callback : process, this);
    jack_set_buffer_size_callback(client, bufferSizeChanged, this);
    jack_set_port_registration_callback(client, portRegistered, this);
    jack_on_info_shutdown(client, shutDown, this);
    // The size may have changed since open() without a callback to say so.
    const jack_nframes_t now = jack_get_buffer_size(client);
    if (now != period.load()) {
        face::setupPlugin(effect, rate, int32_t(now));
        period = now;
    }
    face::dispatch(effect, effMainsChanged, 0, 1);
    if (jack_activate(client) != 0) {
        face::dispatch(effect, effMainsChanged, 0, 0);
        return (error = "the JACK server did not start the client"), false;
    }
    active = true;
    return true;
}

// jackd1 may still run a period after jack_deactivate returns; closing the
// client ends its thread, so the instrument is alone afterwards.
void Engine::stop() {
    if (!active) return;
    active = false;
    if (!gone.load()) jack_deactivate(client);
    jack_client_close(client);
    client = nullptr;
    face::dispatch(effect, effMainsChanged, 0, 0);
}

std::string Engine::clientName() const { return client ? jack_get_client_name(client) : ""; }

std::vector<std::string> Engine::physicalPorts(const char* type, unsigned long flags) const {
    std::vector<std::string> names;
    const char** ports = jack_get_ports(client, nullptr, type, flags | JackPortIsPhysical);
    for (int i = 0; ports && ports[i]; i++) names.push_back(ports[i]);
    if (ports) jack_free(ports);
    return names;
}

std::string Engine::connectOutputs() {
    const std::vector<std::string> playback = physicalPorts(JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput);
    if (playback.empty()) return "no playback ports to connect to";
    const size_t count = std::min<size_t>(playback.size(), 2);
    for (size_t i = 0; i < count; i++)
        if (jack_connect(client, jack_port_name(outputs[i]), playback[i].c_str()) != 0)
            return "could not connect to " + playback[i];
    return "connected to " + (count == 2 ? pairName(playback[0], playback[1]) : playback[0]);
}

void Engine::connectMidiCaptures() {
    const std::vector<std::string> now = physicalPorts(JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput);
    for (const std::string& port : now)
        if (std::find(midiCaptures.begin(), midiCaptures.end(), port) == midiCaptures.end())
            jack_connect(client, port.c_str(), jack_port_name(midiIn));
    // A device unplugged and plugged in again counts as new.
    midiCaptures = now;
}

bool Engine::serverGone(std::string& reason) const {
    if (!gone.load()) return false;
    reason = goneReason;
    return true;
}

int Engine::process(jack_nframes_t frames, void* arg) noexcept {
    Engine& e = *static_cast<Engine*>(arg);
    float* out[face::kAudioOutputs];
    for (int i = 0; i < face::kAudioOutputs; i++)
        out[i] = static_cast<float*>(jack_port_get_buffer(e.outputs[i], frames));
    void* midi = jack_port_get_buffer(e.midiIn, frames);
    e.batcher.begin(e.effect, out, frames);
    const uint32_t count = jack_midi_get_event_count(midi);
    for (uint32_t i = 0; i < count; i++) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, midi, i) == 0) e.batcher.add(event.time, event.buffer, uint32_t(event.size));
    }
    e.batcher.finish();
    return 0;
}

// JACK calls this between periods, never during one: the instrument is
// suspended, told the new size and resumed.
int Engine::bufferSizeChanged(jack_nframes_t frames, void* arg) {
    Engine& e = *static_cast<Engine*>(arg);
    if (frames == e.period.load()) return 0;
    face::dispatch(e.effect, effMainsChanged, 0, 0);
    face::setupPlugin(e.effect, e.rate, int32_t(frames));
    face::dispatch(e.effect, effMainsChanged, 0, 1);
    e.period = frames;
    return 0;
}

void Engine::portRegistered(jack_port_id_t, int registered, void* arg) {
    if (registered) static_cast<Engine*>(arg)->portsAppeared = true;
}

void Engine::shutDown(jack_status_t, const char* reason, void* arg) {
    Engine& e = *static_cast<Engine*>(arg);
    std::strncpy(e.goneReason, reason ? reason : "", sizeof e.goneReason - 1);
    e.gone = true;
}

}  // namespace live
