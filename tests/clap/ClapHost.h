// A strict CLAP host for the tests: loads a .clap by path, makes plug-ins
// through its factory, plays blocks of CLAP or MIDI events into all four or
// only the main output port, and saves and loads state through streams that
// move a given number of bytes per call. Beside it the VST 2 plug-in, played
// the same notes as MIDI.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clap/ClapAbi.h"
#include "support/PluginHost.h"
#include "support/Vst2Reference.h"

namespace claptest {

const int kOutputs = 8;
using Bytes = std::vector<uint8_t>;

// One event of a block, in either dialect.
struct Event {
    enum Kind { Midi, NoteOn, NoteOff, Choke } kind;
    uint32_t frame;
    uint8_t midi[3];
    int16_t key;
    int16_t channel;
    double velocity;
};

inline Event midi(uint32_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
    return {Event::Midi, frame, {status, data1, data2}, 0, 0, 0.0};
}
inline Event noteOn(uint32_t frame, int key, double velocity, int channel = 0) {
    return {Event::NoteOn, frame, {}, int16_t(key), int16_t(channel), velocity};
}
inline Event noteOff(uint32_t frame, int key, int channel = 0) {
    return {Event::NoteOff, frame, {}, int16_t(key), int16_t(channel), 0.0};
}
inline Event choke(uint32_t frame, int key, int channel) {
    return {Event::Choke, frame, {}, int16_t(key), int16_t(channel), 0.0};
}
// The MIDI a VST 2 host would send for the same notes (note-offs and chokes
// of a key are left out: the instrument does not act on them).
std::vector<Event> asMidi(const std::vector<Event>& events);

// Eight channels of one block, filled with a value the plug-in must replace.
struct Block {
    explicit Block(uint32_t frames, float fill = 0.5f) : frames(frames) {
        for (auto& d : data) d.assign(frames, fill);
    }
    bool operator==(const Block& other) const;
    bool silent() const;
    uint32_t frames;
    std::vector<float> data[kOutputs];
};

// The loaded library and its entry, initialised once for the whole run.
struct Library {
    explicit Library(const std::string& path);
    ~Library();
    vsthost::Library library;
    const clap::PluginEntry* entry = nullptr;
    const clap::PluginFactory* factory = nullptr;
    bool initialised = false;
};
Library& library();
void openLibrary(const std::string& path);

// What a host offers; the counters tell what the plug-in asked of it.
struct HostOptions {
    bool timers = true;
};

class ClapPlugin {
public:
    explicit ClapPlugin(HostOptions options = HostOptions(), const char* id = "com.morvantic.kz318");
    ~ClapPlugin();
    ClapPlugin(const ClapPlugin&) = delete;
    ClapPlugin& operator=(const ClapPlugin&) = delete;

    bool ok() const { return plugin != nullptr; }
    const clap::Plugin* raw() const { return plugin; }
    template <class T>
    const T* extension(const char* id) const {
        return static_cast<const T*>(plugin->getExtension(plugin, id));
    }
    bool activate(double rate = 48000.0, uint32_t maxBlock = 4096);
    void deactivate();
    // Plays one block into the first `ports` output ports (the rest of the
    // block's channels stay as they were).
    int32_t run(Block& out, const std::vector<Event>& events, uint32_t ports = 4);
    // run() in two steps: everything the host allocates, then the call alone.
    void prepare(Block& out, const std::vector<Event>& events, uint32_t ports = 4);
    int32_t processPrepared();

    bool save(Bytes& out, uint64_t perCall = 1u << 20);
    // Reads `bytes` handing over at most perCall per read; from failAt on, the
    // reads fail.
    bool load(const Bytes& bytes, uint64_t perCall = 1u << 20, size_t failAt = SIZE_MAX);
    // The one-shot save, for comparing.
    Bytes state();

    // The host's timers as the plug-in registered them.
    struct Timer {
        clap::Id id;
        uint32_t period;
    };
    std::vector<Timer> timers;
    void fireTimers();

    clap::Host host = {};
    HostOptions options;

private:
    const clap::Plugin* plugin = nullptr;
    bool active = false;
    clap::HostTimerSupport timerSupport = {};
    clap::Id nextTimer = 7;
    std::vector<uint64_t> eventStorage;
    std::vector<const clap::EventHeader*> eventList;
    clap::InputEvents inEvents = {};
    clap::OutputEvents outEvents = {};
    float* channels[kOutputs] = {};
    clap::AudioBuffer buffers[4] = {};
    clap::Process process = {};
};

// The VST 2 plug-in, playing a block of this host's events.
class VstPlugin : public testhost::Vst2Reference {
public:
    explicit VstPlugin(const std::string& path, double rate = 48000.0, int maxBlock = 4096)
        : Vst2Reference(path, rate, maxBlock) {}
    // Plays MIDI events only.
    void run(Block& out, const std::vector<Event>& events);
};

extern std::string vstPath;

}  // namespace claptest
