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

VstPlugin::VstPlugin(const std::string& path, double rate, int maxBlock) : library(path) {
    testhost::EntryProc entry = library.loaded() ? testhost::findEntry(library) : nullptr;
    effect = entry ? entry(testhost::hostCallback) : nullptr;
    if (!effect) return;
    testhost::dispatch(effect, effOpen);
    testhost::dispatch(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    testhost::dispatch(effect, effSetBlockSize, 0, maxBlock);
    testhost::dispatch(effect, effMainsChanged, 0, 1);
}

VstPlugin::~VstPlugin() {
    if (!effect) return;
    testhost::dispatch(effect, effMainsChanged, 0, 0);
    testhost::dispatch(effect, effClose);
}

void VstPlugin::run(Block& out, const std::vector<Event>& events) {
    if (!events.empty()) {
        std::vector<VstMidiEvent> list(events.size());
        std::vector<char> room(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
        VstEvents* head = reinterpret_cast<VstEvents*>(room.data());
        head->numEvents = static_cast<VstInt32>(events.size());
        VstEvent** slots = head->events;
        for (size_t i = 0; i < events.size(); i++) {
            std::memset(&list[i], 0, sizeof(VstMidiEvent));
            list[i].type = kVstMidiType;
            list[i].byteSize = sizeof(VstMidiEvent);
            list[i].deltaFrames = static_cast<VstInt32>(events[i].frame);
            for (int b = 0; b < 3; b++) list[i].midiData[b] = static_cast<char>(events[i].midi[b]);
            slots[i] = reinterpret_cast<VstEvent*>(&list[i]);
        }
        testhost::dispatch(effect, effProcessEvents, 0, 0, head);
    }
    float* outputs[kOutputs];
    for (int k = 0; k < kOutputs; k++) outputs[k] = out.data[k].data();
    effect->processReplacing(effect, nullptr, outputs, static_cast<VstInt32>(out.frames));
}

void VstPlugin::setChunk(const Bytes& chunk) {
    testhost::dispatch(effect, effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()),
                       const_cast<uint8_t*>(chunk.data()));
}

Bytes VstPlugin::chunk() {
    void* data = nullptr;
    const VstIntPtr size = testhost::dispatch(effect, effGetChunk, 0, 0, &data);
    if (!data || size <= 0) return Bytes();
    return Bytes(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace claptest
