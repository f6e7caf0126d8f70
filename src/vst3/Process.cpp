// The audio thread's part: a block's note-ons and controller-123 changes go
// to the instrument in one event list, in frame order, and the block renders
// into the active buses. [audio]: no allocation, lock or system call.
#include <cmath>

#include "vst3/Plugin.h"

namespace vst3face {

using namespace vst3;

namespace {

const int kMaxChannel = kMidiChannels - 1;

IParamValueQueue* queueOf(IParameterChanges* changes, ParamID id) noexcept {
    const int32_t count = changes ? changes->getParameterCount() : 0;
    for (int32_t i = 0; i < count; i++) {
        IParamValueQueue* queue = changes->getParameterData(i);
        if (queue && queue->getParameterId() == id) return queue;
    }
    return nullptr;
}

// The MIDI velocity of a note-on: none (0) for a velocity of 0 or less,
// which a VST 2 instrument would take as a note-off.
int midiVelocity(float velocity) noexcept {
    if (!(velocity > 0.0f)) return 0;
    const long v = std::lround(static_cast<double>(velocity) * 127.0);
    return v < 1 ? 1 : (v > 127 ? 127 : static_cast<int>(v));
}

class NoteReader {
public:
    explicit NoteReader(IEventList* list) noexcept : list(list), count(list ? list->getEventCount() : 0) { next(); }
    bool more() const noexcept { return has; }
    int32_t frame() const noexcept { return event.sampleOffset; }
    void take(face::EventBatcher& batcher) noexcept {
        const uint8_t message[3] = {static_cast<uint8_t>(0x90 | event.noteOn.channel),
                                    static_cast<uint8_t>(event.noteOn.pitch), static_cast<uint8_t>(velocity)};
        batcher.add(event.sampleOffset, message, 3);
        next();
    }

private:
    void next() noexcept {
        has = false;
        while (index < count) {
            if (list->getEvent(index++, event) != kResultOk) continue;
            if (event.busIndex != 0 || event.type != Event::kNoteOnEvent) continue;
            if (event.noteOn.channel < 0 || event.noteOn.channel > kMaxChannel) continue;
            if (event.noteOn.pitch < 0 || event.noteOn.pitch > 127) continue;
            velocity = midiVelocity(event.noteOn.velocity);
            if (velocity == 0) continue;
            has = true;
            return;
        }
    }

    IEventList* list;
    int32_t count;
    int32_t index = 0;
    Event event = {};
    int velocity = 0;
    bool has = false;
};

class ControllerReader {
public:
    explicit ControllerReader(IParamValueQueue* queue) noexcept
        : queue(queue), count(queue ? queue->getPointCount() : 0) {
        next();
    }
    bool more() const noexcept { return has; }
    int32_t frame() const noexcept { return offset; }
    void take(face::EventBatcher& batcher) noexcept {
        const ParamValue unit = value > 0.0 ? (value < 1.0 ? value : 1.0) : 0.0;
        const uint8_t message[3] = {0xB0, static_cast<uint8_t>(kAllNotesOffController),
                                    static_cast<uint8_t>(std::lround(unit * 127.0))};
        batcher.add(offset, message, 3);
        next();
    }

private:
    void next() noexcept {
        has = false;
        while (index < count && !has) has = queue->getPoint(index++, offset, value) == kResultOk;
    }

    IParamValueQueue* queue;
    int32_t count;
    int32_t index = 0;
    int32_t offset = 0;
    ParamValue value = 0.0;
    bool has = false;
};

}  // namespace

tresult Plugin::process(ProcessData& data) {
    if (!fx) return kNotInitialized;
    if (data.symbolicSampleSize != kSample32 || data.numSamples < 0) return kInvalidArgument;
    float* outputs[face::kAudioOutputs] = {};
    for (int b = 0; b < kOutputBuses && b < data.numOutputs && data.outputs; b++) {
        AudioBusBuffers& bus = data.outputs[b];
        if (!busActive[b] || !bus.channelBuffers32) continue;
        for (int c = 0; c < 2 && c < bus.numChannels; c++) outputs[2 * b + c] = bus.channelBuffers32[c];
        bus.silenceFlags = 0;
    }
    batcher.begin(fx, outputs, static_cast<uint32_t>(data.numSamples));
    addEvents(data);
    batcher.finish();
    return kResultOk;
}

// A controller change and a note on the same frame: the controller goes
// first, so that notes starting where everything was stopped still sound.
void Plugin::addEvents(ProcessData& data) noexcept {
    NoteReader notes(data.inputEvents);
    ControllerReader controllers(queueOf(data.inputParameterChanges, kAllNotesOffParam));
    while (notes.more() || controllers.more()) {
        if (controllers.more() && (!notes.more() || controllers.frame() <= notes.frame()))
            controllers.take(batcher);
        else
            notes.take(batcher);
    }
}

}  // namespace vst3face
