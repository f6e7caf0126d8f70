// The JACK client that plays the instrument: one MIDI input, eight audio
// outputs, the period rendered in the process callback and nothing else
// there. Connections and everything that may block run on the caller's
// thread (the main loop).
#pragma once

#include <jack/jack.h>

#include <atomic>
#include <string>
#include <vector>

#include "face/EventBatcher.h"

namespace live {

class Engine {
public:
    Engine() = default;
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Opens the client under exactly `name` and registers its ports; false
    // with a one-line reason.
    bool open(const std::string& name, std::string& error);
    // Switches the instrument on (set up for sampleRate() and periodFrames())
    // and starts the client; `process` replaces the process callback (the
    // bench times it). False with a reason.
    bool start(AEffect* effect, std::string& error, JackProcessCallback process = nullptr);
    // Stops and closes the client and switches the instrument off. [host]
    void stop();

    // Connects output pair 1 to the first two physical playback ports; says
    // what it connected to.
    std::string connectOutputs();
    // Connects every physical MIDI capture port not seen before to the MIDI
    // input. Called at start and whenever portsChanged() says so.
    void connectMidiCaptures();
    // True once after a port appeared on the server.
    bool portsChanged() { return portsAppeared.exchange(false); }
    // True once the server has gone; `reason` says why.
    bool serverGone(std::string& reason) const;

    double sampleRate() const { return rate; }
    uint32_t periodFrames() const { return period.load(); }
    std::string clientName() const;

    // Renders one period. [audio]
    static int process(jack_nframes_t frames, void* engine) noexcept;

private:
    static int bufferSizeChanged(jack_nframes_t frames, void* engine);
    static void portRegistered(jack_port_id_t port, int registered, void* engine);
    static void shutDown(jack_status_t code, const char* reason, void* engine);
    std::vector<std::string> physicalPorts(const char* type, unsigned long flags) const;

    jack_client_t* client = nullptr;
    AEffect* effect = nullptr;
    jack_port_t* midiIn = nullptr;
    jack_port_t* outputs[face::kAudioOutputs] = {};
    face::EventBatcher batcher;
    double rate = 0.0;
    std::atomic<uint32_t> period{0};
    bool active = false;
    std::atomic<bool> portsAppeared{false};
    std::atomic<bool> gone{false};
    char goneReason[256] = {};
    std::vector<std::string> midiCaptures;  // as last seen
};

}  // namespace live
