#include "vst3/Vst3Host.h"

#include <algorithm>
#include <cstring>

#include "support/PluginHost.h"

namespace vst3test {

using namespace vst3;

// ---- host objects ----

tresult Stream::read(void* buffer, int32_t count, int32_t* got) {
    if (got) *got = 0;
    if (failing()) return kInternalError;
    const size_t n = std::min<size_t>({size_t(std::max(count, 0)), size_t(step), bytes.size() - position});
    if (n) std::memcpy(buffer, bytes.data() + position, n);
    position += n;
    if (got) *got = static_cast<int32_t>(n);
    return kResultOk;
}

tresult Stream::write(void* buffer, int32_t count, int32_t* put) {
    if (put) *put = 0;
    if (failing()) return kInternalError;
    const size_t n = std::min<size_t>(size_t(std::max(count, 0)), size_t(step));
    const uint8_t* from = static_cast<const uint8_t*>(buffer);
    if (position + n > bytes.size()) bytes.resize(position + n);
    if (n) std::memcpy(bytes.data() + position, from, n);
    position += n;
    if (put) *put = static_cast<int32_t>(n);
    return kResultOk;
}

tresult Stream::seek(int64_t pos, int32_t mode, int64_t* result) {
    const int64_t base = mode == kIBSeekCur ? int64_t(position) : (mode == kIBSeekEnd ? int64_t(bytes.size()) : 0);
    if (base + pos < 0 || base + pos > int64_t(bytes.size())) return kInvalidArgument;
    position = size_t(base + pos);
    if (result) *result = int64_t(position);
    return kResultOk;
}

tresult Stream::tell(int64_t* pos) {
    if (pos) *pos = int64_t(position);
    return kResultOk;
}

tresult EventList::getEvent(int32_t index, Event& e) {
    if (index < 0 || index >= getEventCount()) return kInvalidArgument;
    e = events[size_t(index)];
    return kResultOk;
}

tresult EventList::addEvent(Event& e) {
    events.push_back(e);
    return kResultOk;
}

tresult ValueQueue::getPoint(int32_t index, int32_t& offset, ParamValue& value) {
    if (index < 0 || index >= getPointCount()) return kInvalidArgument;
    offset = points[size_t(index)].first;
    value = points[size_t(index)].second;
    return kResultOk;
}

tresult ValueQueue::addPoint(int32_t offset, ParamValue value, int32_t& index) {
    index = getPointCount();
    points.push_back({offset, value});
    return kResultOk;
}

IParamValueQueue* ParameterChanges::getParameterData(int32_t index) {
    return index >= 0 && index < getParameterCount() ? &queues[size_t(index)] : nullptr;
}

IParamValueQueue* ParameterChanges::addParameterData(const ParamID& id, int32_t& index) {
    for (size_t i = 0; i < queues.size(); i++)
        if (queues[i].id == id) {
            index = int32_t(i);
            return &queues[i];
        }
    queues.emplace_back();
    queues.back().id = id;
    index = getParameterCount() - 1;
    return &queues.back();
}

// ---- the module ----

std::string Module::modulePath(const std::string& bundle) {
#if defined(_WIN32) && defined(_WIN64)
    return bundle + "/Contents/x86_64-win/kz318.vst3";
#elif defined(_WIN32)
    return bundle + "/Contents/x86-win/kz318.vst3";
#else
    return bundle + "/Contents/x86_64-linux/kz318.so";
#endif
}

#if defined(_WIN32)
typedef bool (*EnterProc)();
const char* const kEnterName = "InitDll";
const char* const kExitName = "ExitDll";
#else
typedef bool (*EnterProc)(void*);
const char* const kEnterName = "ModuleEntry";
const char* const kExitName = "ModuleExit";
#endif
typedef bool (*ExitProc)();

Module::Module(const std::string& bundle) : lib(modulePath(bundle)) {
    if (!lib.loaded()) {
        why = "cannot load " + modulePath(bundle) + ": " + lib.error();
        return;
    }
    EnterProc enter = reinterpret_cast<EnterProc>(lib.symbol(kEnterName));
#if defined(_WIN32)
    entered = enter && enter();
#else
    entered = enter && enter(nullptr);
#endif
    GetFactoryProc get = reinterpret_cast<GetFactoryProc>(lib.symbol("GetPluginFactory"));
    factory = get ? get() : nullptr;
    if (!factory) why = "no factory";
}

Module::~Module() {
    if (factory) factory->release();
    ExitProc leave = reinterpret_cast<ExitProc>(lib.symbol(kExitName));
    if (entered && leave) leave();
}

// ---- an instance ----

Instance::Instance(Module& module, double rate, int32_t maxBlock, int activeBuses) {
    PClassInfo info;
    if (!module.factory || module.factory->getClassInfo(0, &info) != kResultOk) return;
    void* obj = nullptr;
    if (module.factory->createInstance(info.cid, iid::IComponent.bytes, &obj) != kResultOk) return;
    component = static_cast<IComponent*>(obj);
    if (component->queryInterface(iid::IAudioProcessor.bytes, &obj) == kResultOk)
        processor = static_cast<IAudioProcessor*>(obj);
    if (component->queryInterface(iid::IEditController.bytes, &obj) == kResultOk)
        controller = static_cast<IEditController*>(obj);
    if (!ok() || component->initialize(nullptr) != kResultOk) return;
    ProcessSetup setup = {kRealtime, kSample32, maxBlock, rate};
    processor->setupProcessing(setup);
    for (int b = 0; b < kBuses; b++) component->activateBus(kAudio, kOutput, b, b < activeBuses);
    component->activateBus(kEvent, kInput, 0, 1);
    component->setActive(1);
    processor->setProcessing(1);
}

Instance::~Instance() {
    if (ok()) {
        processor->setProcessing(0);
        component->setActive(0);
        component->terminate();
    }
    if (controller) controller->release();
    if (processor) processor->release();
    if (component) component->release();
}

tresult Instance::process(uint32_t frames, float* const* out, IEventList* events, IParameterChanges* changes,
                          int32_t buses) {
    float* channels[kOutputs];
    AudioBusBuffers busBuffers[kBuses];
    for (int b = 0; b < kBuses; b++) {
        channels[2 * b] = out[2 * b];
        channels[2 * b + 1] = out[2 * b + 1];
        busBuffers[b].numChannels = 2;
        busBuffers[b].silenceFlags = 3;
        busBuffers[b].channelBuffers32 = out[2 * b] ? &channels[2 * b] : nullptr;
    }
    ProcessData data = {};
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numSamples = int32_t(frames);
    data.numOutputs = buses;
    data.outputs = busBuffers;
    data.inputEvents = events;
    data.inputParameterChanges = changes;
    return processor->process(data);
}

bool Instance::setChunk(const std::vector<uint8_t>& chunk) {
    Stream s;
    s.bytes = chunk;
    return component->setState(&s) == kResultOk;
}

std::vector<uint8_t> Instance::state() {
    Stream s;
    return component->getState(&s) == kResultOk ? s.bytes : std::vector<uint8_t>();
}

// ---- the VST 2 plug-in ----

void Vst2Instance::process(uint32_t frames, float* const* out, const std::vector<Note>& events) {
    std::vector<testhost::MidiAt> midi;
    for (const Note& n : events)
        midi.push_back({n.frame, {uint8_t(n.status), uint8_t(n.key), uint8_t(n.value)}});
    play(frames, out, midi);
}

// ---- renders ----

namespace {

template <class PlayBlock>
Render renderBlocks(uint32_t frames, uint32_t block, const std::vector<Note>& notes, PlayBlock play) {
    Render r;
    for (auto& c : r.channel) c.assign(frames, 0.0f);
    size_t next = 0;
    for (uint32_t start = 0; start < frames; start += block) {
        const uint32_t length = std::min(block, frames - start);
        std::vector<Note> events;
        for (; next < notes.size() && notes[next].frame < start + length; next++) {
            Note n = notes[next];
            n.frame -= start;
            events.push_back(n);
        }
        float* out[kOutputs];
        for (int k = 0; k < kOutputs; k++) out[k] = r.channel[k].data() + start;
        play(length, out, events);
    }
    return r;
}

}  // namespace

Render renderVst3(Module& module, const std::vector<uint8_t>& kit, uint32_t frames, uint32_t block,
                  const std::vector<Note>& notes) {
    Instance in(module, kRate, int32_t(block));
    if (!in.ok() || !in.setChunk(kit)) return Render();
    return renderBlocks(frames, block, notes, [&](uint32_t length, float** out, const std::vector<Note>& events) {
        EventList list;
        ParameterChanges changes;
        for (const Note& n : events) {
            if (n.status == 0xB0) {
                int32_t index = 0;
                ParamID id = 0;
                IMidiMapping* mapping = nullptr;
                void* obj = nullptr;
                if (in.component->queryInterface(iid::IMidiMapping.bytes, &obj) == kResultOk) {
                    mapping = static_cast<IMidiMapping*>(obj);
                    mapping->getMidiControllerAssignment(0, 0, int16_t(n.key), id);
                    mapping->release();
                }
                changes.addParameterData(id, index)->addPoint(int32_t(n.frame), n.value / 127.0, index);
                continue;
            }
            Event e = {};
            e.sampleOffset = int32_t(n.frame);
            if (n.status == 0x90) {
                e.type = Event::kNoteOnEvent;
                e.noteOn.pitch = int16_t(n.key);
                e.noteOn.velocity = float(n.value) / 127.0f;
                e.noteOn.noteId = -1;
            } else {
                e.type = Event::kNoteOffEvent;
                e.noteOff.pitch = int16_t(n.key);
                e.noteOff.noteId = -1;
            }
            list.events.push_back(e);
        }
        in.process(length, out, &list, &changes);
    });
}

Render renderVst2(const std::string& plugin, const std::vector<uint8_t>& kit, uint32_t frames, uint32_t block,
                  const std::vector<Note>& notes) {
    Vst2Instance fx(plugin, kRate, int(block));
    if (!fx.ok()) return Render();
    fx.setChunk(kit);
    return renderBlocks(frames, block, notes, [&](uint32_t length, float** out, const std::vector<Note>& events) {
        std::vector<Note> played;
        for (const Note& n : events)
            if (n.status != 0x80) played.push_back(n);
        fx.process(length, out, played);
    });
}

}  // namespace vst3test
