// A VST 3 host for the tests: loads a bundle by path, creates the instrument
// through its factory and feeds it blocks of events and parameter changes,
// and a VST 2 host that plays the same events through kz318.so / kz318.dll.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pluginhost/PluginLoader.h"
#include "support/Vst2Reference.h"
#include "vst3/Vst3Abi.h"

namespace vst3test {

const int kOutputs = 8;
const int kBuses = 4;

// Host objects live on the test's stack: references are not counted.
template <class Interface>
class Unowned : public Interface {
public:
    vst3::tresult VST3CALL queryInterface(const vst3::TUID, void** obj) override {
        *obj = nullptr;
        return vst3::kNoInterface;
    }
    uint32_t VST3CALL addRef() override { return 1; }
    uint32_t VST3CALL release() override { return 1; }
};

// A memory stream that gives or takes at most `step` bytes a call and fails
// every call after `failAfter` calls.
class Stream : public Unowned<vst3::IBStream> {
public:
    std::vector<uint8_t> bytes;
    size_t position = 0;
    int32_t step = 1 << 30;
    int failAfter = -1;
    int calls = 0;

    vst3::tresult VST3CALL read(void* buffer, int32_t count, int32_t* got) override;
    vst3::tresult VST3CALL write(void* buffer, int32_t count, int32_t* put) override;
    vst3::tresult VST3CALL seek(int64_t pos, int32_t mode, int64_t* result) override;
    vst3::tresult VST3CALL tell(int64_t* pos) override;

private:
    bool failing() { return failAfter >= 0 && calls++ >= failAfter; }
};

class EventList : public Unowned<vst3::IEventList> {
public:
    std::vector<vst3::Event> events;
    int32_t VST3CALL getEventCount() override { return static_cast<int32_t>(events.size()); }
    vst3::tresult VST3CALL getEvent(int32_t index, vst3::Event& e) override;
    vst3::tresult VST3CALL addEvent(vst3::Event& e) override;
};

class ValueQueue : public Unowned<vst3::IParamValueQueue> {
public:
    vst3::ParamID id = 0;
    std::vector<std::pair<int32_t, double>> points;
    vst3::ParamID VST3CALL getParameterId() override { return id; }
    int32_t VST3CALL getPointCount() override { return static_cast<int32_t>(points.size()); }
    vst3::tresult VST3CALL getPoint(int32_t index, int32_t& offset, vst3::ParamValue& value) override;
    vst3::tresult VST3CALL addPoint(int32_t offset, vst3::ParamValue value, int32_t& index) override;
};

class ParameterChanges : public Unowned<vst3::IParameterChanges> {
public:
    std::vector<ValueQueue> queues;
    int32_t VST3CALL getParameterCount() override { return static_cast<int32_t>(queues.size()); }
    vst3::IParamValueQueue* VST3CALL getParameterData(int32_t index) override;
    vst3::IParamValueQueue* VST3CALL addParameterData(const vst3::ParamID& id, int32_t& index) override;
};

// One MIDI-like event of a render: a note-on (velocity 1..127), a note-off,
// or controller 123 (sent to VST 3 through its mapped parameter).
struct Note {
    uint32_t frame;
    int status;  // 0x90, 0x80 or 0xB0
    int key;
    int value;
};

struct Render {
    std::vector<float> channel[kOutputs];
};

// The bundle's module with its factory.
class Module {
public:
    explicit Module(const std::string& bundle);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    static std::string modulePath(const std::string& bundle);
    bool ok() const { return factory != nullptr; }
    const std::string& error() const { return why; }
    vsthost::Library& library() { return lib; }
    vst3::IPluginFactory* factory = nullptr;
    bool entered = false;

private:
    vsthost::Library lib;
    std::string why;
};

// An instance as a host sets it up: initialized, rate and block size given,
// the buses asked for switched on, active and processing.
class Instance {
public:
    Instance(Module& module, double rate, int32_t maxBlock, int activeBuses = kBuses);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool ok() const { return component && processor && controller; }
    // Plays frames, all eight outputs into `out` (pre-filled by the caller).
    vst3::tresult process(uint32_t frames, float* const* out, vst3::IEventList* events,
                          vst3::IParameterChanges* changes, int32_t buses = kBuses);
    bool setChunk(const std::vector<uint8_t>& chunk);
    std::vector<uint8_t> state();

    vst3::IComponent* component = nullptr;
    vst3::IAudioProcessor* processor = nullptr;
    vst3::IEditController* controller = nullptr;
};

// The VST 2 plug-in, playing a block of this host's notes.
class Vst2Instance : public testhost::Vst2Reference {
public:
    using Vst2Reference::Vst2Reference;
    void process(uint32_t frames, float* const* out, const std::vector<Note>& events);
};

// The notes (absolute frames, in order) played in blocks of `block` frames.
Render renderVst3(Module& module, const std::vector<uint8_t>& kit, uint32_t frames, uint32_t block,
                  const std::vector<Note>& notes);
Render renderVst2(const std::string& plugin, const std::vector<uint8_t>& kit, uint32_t frames, uint32_t block,
                  const std::vector<Note>& notes);

const double kRate = 44100.0;

}  // namespace vst3test
