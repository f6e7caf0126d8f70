#include "clap/ClapHost.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace claptest {

std::string vstPath;

namespace {

std::unique_ptr<Library> loaded;

ClapPlugin& hostOf(const clap::Host* host) { return *static_cast<ClapPlugin*>(host->hostData); }

void CLAPCALL hostRequest(const clap::Host*) {}

const clap::EventHeader header(uint32_t size, uint32_t frame, uint16_t type) {
    return {size, frame, clap::kCoreEventSpace, type, 0};
}

// The events of one block in CLAP form, each 8-byte aligned in `storage`.
void encode(const std::vector<Event>& events, std::vector<uint64_t>& storage,
            std::vector<const clap::EventHeader*>& list) {
    const size_t slot = (sizeof(clap::EventNote) + 7) / 8;
    storage.assign(events.size() * slot + 1, 0);
    list.clear();
    for (size_t i = 0; i < events.size(); i++) {
        const Event& e = events[i];
        void* at = &storage[i * slot];
        if (e.kind == Event::Midi) {
            clap::EventMidi m = {header(sizeof m, e.frame, clap::kEventMidi), 0, {e.midi[0], e.midi[1], e.midi[2]}};
            std::memcpy(at, &m, sizeof m);
        } else {
            const uint16_t type = e.kind == Event::NoteOn    ? clap::kEventNoteOn
                                  : e.kind == Event::NoteOff ? clap::kEventNoteOff
                                                             : clap::kEventNoteChoke;
            clap::EventNote n = {header(sizeof n, e.frame, type), -1, 0, e.channel, e.key, e.velocity};
            std::memcpy(at, &n, sizeof n);
        }
        list.push_back(static_cast<const clap::EventHeader*>(at));
    }
}

uint32_t CLAPCALL eventCount(const clap::InputEvents* list) {
    return uint32_t(static_cast<const std::vector<const clap::EventHeader*>*>(list->context)->size());
}

const clap::EventHeader* CLAPCALL eventAt(const clap::InputEvents* list, uint32_t index) {
    const auto& events = *static_cast<const std::vector<const clap::EventHeader*>*>(list->context);
    return index < events.size() ? events[index] : nullptr;
}

bool CLAPCALL refusePush(const clap::OutputEvents*, const clap::EventHeader*) { return false; }

struct WriteStream {
    Bytes* out;
    uint64_t perCall;
};

int64_t CLAPCALL writeSome(const clap::OutputStream* stream, const void* buffer, uint64_t size) {
    WriteStream& s = *static_cast<WriteStream*>(stream->context);
    const uint64_t n = size < s.perCall ? size : s.perCall;
    s.out->insert(s.out->end(), static_cast<const uint8_t*>(buffer), static_cast<const uint8_t*>(buffer) + n);
    return int64_t(n);
}

struct ReadStream {
    const Bytes* in;
    size_t at;
    uint64_t perCall;
    size_t failAt;
};

int64_t CLAPCALL readSome(const clap::InputStream* stream, void* buffer, uint64_t size) {
    ReadStream& s = *static_cast<ReadStream*>(stream->context);
    if (s.at >= s.failAt) return -1;
    uint64_t n = s.in->size() - s.at;
    if (n > size) n = size;
    if (n > s.perCall) n = s.perCall;
    if (n > 0) std::memcpy(buffer, s.in->data() + s.at, size_t(n));
    s.at += size_t(n);
    return int64_t(n);
}

}  // namespace

std::vector<Event> asMidi(const std::vector<Event>& events) {
    std::vector<Event> out;
    for (const Event& e : events) {
        if (e.kind == Event::Midi) {
            out.push_back(e);
        } else if (e.kind == Event::NoteOn && e.velocity > 0.0) {
            const double steps = std::round(e.velocity * 127.0);
            out.push_back(midi(e.frame, uint8_t(0x90 | e.channel), uint8_t(e.key),
                               uint8_t(steps < 1.0     ? 1
                                       : steps > 127.0 ? 127
                                                       : steps)));
        } else if (e.kind == Event::Choke && e.key == -1 && e.channel == -1) {
            out.push_back(midi(e.frame, 0xB0, 123, 0));
        }
    }
    return out;
}

bool Block::operator==(const Block& other) const {
    if (frames != other.frames) return false;
    for (int k = 0; k < kOutputs; k++)
        if (std::memcmp(data[k].data(), other.data[k].data(), sizeof(float) * frames) != 0) return false;
    return true;
}

bool Block::silent() const {
    for (const auto& d : data)
        for (float x : d)
            if (x != 0.0f) return false;
    return true;
}

Library::Library(const std::string& path) : library(path) {
    entry = static_cast<const clap::PluginEntry*>(library.symbol("clap_entry"));
    if (!entry || !entry->init(path.c_str())) return;
    initialised = true;
    factory = static_cast<const clap::PluginFactory*>(entry->getFactory(clap::kPluginFactoryId));
}

Library::~Library() {
    if (initialised) entry->deinit();
}

Library& library() { return *loaded; }
void openLibrary(const std::string& path) { loaded.reset(new Library(path)); }

ClapPlugin::ClapPlugin(HostOptions chosen, const char* id) : options(chosen) {
    timerSupport.registerTimer = [](const clap::Host* h, uint32_t period, clap::Id* timer) {
        ClapPlugin& self = hostOf(h);
        *timer = self.nextTimer++;
        self.timers.push_back({*timer, period});
        return true;
    };
    timerSupport.unregisterTimer = [](const clap::Host* h, clap::Id timer) {
        ClapPlugin& self = hostOf(h);
        for (size_t i = 0; i < self.timers.size(); i++) {
            if (self.timers[i].id != timer) continue;
            self.timers.erase(self.timers.begin() + long(i));
            return true;
        }
        return false;
    };
    host = {clap::kVersion, this,       "kz318 clap test host", "Morvantic", "", "1", nullptr, hostRequest,
            hostRequest,    hostRequest};
    host.getExtension = [](const clap::Host* h, const char* ext) -> const void* {
        ClapPlugin& self = hostOf(h);
        if (self.options.timers && std::strcmp(ext, clap::kExtTimerSupport) == 0) return &self.timerSupport;
        return nullptr;
    };
    const clap::PluginFactory* factory = library().factory;
    if (!factory) return;
    plugin = factory->createPlugin(factory, &host, id);
    if (plugin && !plugin->init(plugin)) {
        plugin->destroy(plugin);
        plugin = nullptr;
    }
}

ClapPlugin::~ClapPlugin() {
    if (!plugin) return;
    deactivate();
    plugin->destroy(plugin);
}

bool ClapPlugin::activate(double rate, uint32_t maxBlock) {
    active = plugin->activate(plugin, rate, 1, maxBlock) && plugin->startProcessing(plugin);
    return active;
}

void ClapPlugin::deactivate() {
    if (!active) return;
    plugin->stopProcessing(plugin);
    plugin->deactivate(plugin);
    active = false;
}

void ClapPlugin::prepare(Block& out, const std::vector<Event>& events, uint32_t ports) {
    encode(events, eventStorage, eventList);
    inEvents = {&eventList, eventCount, eventAt};
    outEvents = {nullptr, refusePush};
    for (uint32_t p = 0; p < 4; p++) {
        channels[2 * p] = out.data[2 * p].data();
        channels[2 * p + 1] = out.data[2 * p + 1].data();
        buffers[p] = {};
        buffers[p].data32 = &channels[2 * p];
        buffers[p].channelCount = 2;
        buffers[p].constantMask = ~uint64_t(0);
    }
    process = {};
    process.steadyTime = -1;
    process.framesCount = out.frames;
    process.audioOutputs = buffers;
    process.audioOutputsCount = ports;
    process.inEvents = &inEvents;
    process.outEvents = &outEvents;
}

int32_t ClapPlugin::processPrepared() { return plugin->process(plugin, &process); }

int32_t ClapPlugin::run(Block& out, const std::vector<Event>& events, uint32_t ports) {
    prepare(out, events, ports);
    return processPrepared();
}

bool ClapPlugin::save(Bytes& out, uint64_t perCall) {
    out.clear();
    WriteStream s = {&out, perCall};
    const clap::OutputStream stream = {&s, writeSome};
    return extension<clap::PluginState>(clap::kExtState)->save(plugin, &stream);
}

bool ClapPlugin::load(const Bytes& bytes, uint64_t perCall, size_t failAt) {
    ReadStream s = {&bytes, 0, perCall, failAt};
    const clap::InputStream stream = {&s, readSome};
    return extension<clap::PluginState>(clap::kExtState)->load(plugin, &stream);
}

Bytes ClapPlugin::state() {
    Bytes out;
    return save(out) ? out : Bytes();
}

void ClapPlugin::fireTimers() {
    const std::vector<Timer> now = timers;
    const auto* support = extension<clap::PluginTimerSupport>(clap::kExtTimerSupport);
    for (const Timer& t : now) support->onTimer(plugin, t.id);
}

void VstPlugin::run(Block& out, const std::vector<Event>& events) {
    std::vector<testhost::MidiAt> midi;
    for (const Event& e : events) midi.push_back({e.frame, {e.midi[0], e.midi[1], e.midi[2]}});
    float* outputs[kOutputs];
    for (int k = 0; k < kOutputs; k++) outputs[k] = out.data[k].data();
    play(out.frames, outputs, midi);
}

}  // namespace claptest
