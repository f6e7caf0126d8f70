// The render entries and MIDI through the effect record, as a host calls
// them, with no sample in any pad.
#include <cstring>
#include <vector>

#include "integration/Plugin.h"
#include "support/MiniTest.h"

using scenario::Instance;

namespace {

const int kFrames = 128;

struct Buffers {
    explicit Buffers(float value) {
        for (int i = 0; i < 8; i++) {
            data[i].assign(kFrames, value);
            ptrs[i] = data[i].data();
        }
    }
    bool all(float value) const {
        for (const auto& d : data)
            for (float x : d)
                if (x != value) return false;
        return true;
    }
    std::vector<float> data[8];
    float* ptrs[8];
};

}  // namespace

TEST_CASE(ProcessReplacingClearsAllEightOutputs) {
    Instance plugin;
    AEffect* e = plugin.effect();
    if (!CHECK(e != nullptr)) return;
    Buffers out(0.75f);
    e->processReplacing(e, nullptr, out.ptrs, kFrames);
    CHECK(out.all(0.0f));
}

TEST_CASE(ProcessWithoutVoicesLeavesOutputsAlone) {
    Instance plugin;
    AEffect* e = plugin.effect();
    if (!CHECK(e != nullptr)) return;
    Buffers out(0.75f);
    e->process(e, nullptr, out.ptrs, kFrames);
    CHECK(out.all(0.75f));
}

TEST_CASE(RenderCallsWithMissingBuffersOrNoFrames) {
    Instance plugin;
    AEffect* e = plugin.effect();
    if (!CHECK(e != nullptr)) return;
    e->processReplacing(e, nullptr, nullptr, kFrames);
    e->process(e, nullptr, nullptr, kFrames);
    Buffers out(0.75f);
    e->processReplacing(e, nullptr, out.ptrs, 0);
    e->processReplacing(e, nullptr, out.ptrs, -1);
    CHECK(out.all(0.75f));
    out.ptrs[3] = nullptr;
    e->processReplacing(e, nullptr, out.ptrs, kFrames);
    CHECK(out.data[2][0] == 0.0f && out.data[4][kFrames - 1] == 0.0f);
    CHECK(out.data[3][0] == 0.75f);
}

TEST_CASE(ProcessEventsAnswersOne) {
    Instance plugin;
    if (!CHECK(plugin.effect() != nullptr)) return;
    VstMidiEvent notes[3];
    std::memset(notes, 0, sizeof(notes));
    const unsigned char bytes[3][3] = {{0x90, 48, 100}, {0x80, 48, 0}, {0xB0, 123, 0}};
    struct {
        VstEvents list;
        VstEvent* more[1];
    } events;
    events.list.numEvents = 3;
    events.list.reserved = 0;
    for (int i = 0; i < 3; i++) {
        notes[i].type = kVstMidiType;
        notes[i].byteSize = sizeof(VstMidiEvent);
        std::memcpy(notes[i].midiData, bytes[i], 3);
    }
    events.list.events[0] = reinterpret_cast<VstEvent*>(&notes[0]);
    events.list.events[1] = reinterpret_cast<VstEvent*>(&notes[1]);
    events.more[0] = reinterpret_cast<VstEvent*>(&notes[2]);
    CHECK_EQ(plugin.dispatch(effProcessEvents, 0, 0, &events), 1);
    events.list.numEvents = 0;
    CHECK_EQ(plugin.dispatch(effProcessEvents, 0, 0, &events), 1);
    CHECK_EQ(plugin.dispatch(effProcessEvents, 0, 0, nullptr), 1);
    Buffers out(0.75f);
    plugin.effect()->processReplacing(plugin.effect(), nullptr, out.ptrs, kFrames);
    CHECK(out.all(0.0f));
}
