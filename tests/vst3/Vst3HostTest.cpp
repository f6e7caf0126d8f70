// The instrument through its VST 3 interfaces only, beside the VST 2 plug-in.
#include <cstring>
#include <string>

#include "support/MiniTest.h"
#include "vst3/Context.h"

using namespace vst3;
using namespace vst3test;

namespace {

std::string text(const char16_t* s) {
    std::string out;
    for (; s && *s; s++) out += char(*s);
    return out;
}

template <class Interface>
Interface* query(FUnknown* object, const Uid& id) {
    void* obj = nullptr;
    return object->queryInterface(id.bytes, &obj) == kResultOk ? static_cast<Interface*>(obj) : nullptr;
}

const Uid kClass = makeUid(0x4AC60B87, 0xBC60450F, 0xB94AF474, 0xD08AD929);

}  // namespace

TEST_CASE(HostFactoryDescribesOneInstrumentClass) {
    Module& m = module();
    if (!CHECK(m.ok())) {
        std::printf("  %s\n", m.error().c_str());
        return;
    }
    CHECK(m.entered);
    PFactoryInfo factoryInfo;
    CHECK(m.factory->getFactoryInfo(&factoryInfo) == kResultOk);
    CHECK_STR(factoryInfo.vendor, "Morvantic");
    CHECK(factoryInfo.flags & PFactoryInfo::kUnicode);
    CHECK_EQ(m.factory->countClasses(), 1);
    PClassInfo info;
    CHECK(m.factory->getClassInfo(0, &info) == kResultOk);
    CHECK(sameUid(info.cid, kClass));
    CHECK_STR(info.category, "Audio Module Class");
    CHECK_STR(info.name, "KZ318");
    CHECK(m.factory->getClassInfo(1, &info) != kResultOk);

    IPluginFactory2* f2 = query<IPluginFactory2>(m.factory, iid::IPluginFactory2);
    IPluginFactory3* f3 = query<IPluginFactory3>(m.factory, iid::IPluginFactory3);
    if (!CHECK(f2 && f3)) return;
    PClassInfo2 info2;
    CHECK(f2->getClassInfo2(0, &info2) == kResultOk);
    CHECK(sameUid(info2.cid, kClass));
    CHECK_STR(info2.subCategories, "Instrument|Drum|Sampler");
    CHECK_STR(info2.vendor, "Morvantic");
    CHECK_STR(info2.version, "1.0.0");
    CHECK(std::strncmp(info2.sdkVersion, "VST 3.", 6) == 0);
    CHECK_EQ(info2.classFlags, 0u);
    PClassInfoW infoW;
    CHECK(f3->getClassInfoUnicode(0, &infoW) == kResultOk);
    CHECK(text(infoW.name) == "KZ318" && text(infoW.vendor) == "Morvantic" && text(infoW.version) == "1.0.0");
    CHECK_STR(infoW.subCategories, "Instrument|Drum|Sampler");
    CHECK(f3->setHostContext(nullptr) == kResultOk);
    f2->release();
    f3->release();

    void* obj = &info;
    const Uid other = makeUid(1, 2, 3, 4);
    CHECK(m.factory->createInstance(other.bytes, iid::IComponent.bytes, &obj) != kResultOk && obj == nullptr);
}

TEST_CASE(HostOneObjectIsComponentProcessorAndController) {
    void* obj = nullptr;
    if (!CHECK(module().factory->createInstance(kClass.bytes, iid::IComponent.bytes, &obj) == kResultOk)) return;
    IComponent* component = static_cast<IComponent*>(obj);
    IAudioProcessor* processor = query<IAudioProcessor>(component, iid::IAudioProcessor);
    IEditController* controller = query<IEditController>(component, iid::IEditController);
    IMidiMapping* mapping = query<IMidiMapping>(component, iid::IMidiMapping);
    CHECK(processor && controller && mapping);
    CHECK(query<FUnknown>(component, iid::IPlugView) == nullptr);
    TUID controllerId;
    CHECK(component->getControllerClassId(controllerId) != kResultOk);
    // As a host treating it as two objects: initialize and terminate twice.
    CHECK(component->initialize(nullptr) == kResultOk);
    CHECK(controller->initialize(nullptr) == kResultOk);
    CHECK(component->setActive(1) == kResultOk);
    CHECK(component->setActive(0) == kResultOk);
    CHECK(controller->terminate() == kResultOk);
    ProcessSetup setup = {kRealtime, kSample32, 512, 48000.0};
    CHECK(processor->setupProcessing(setup) == kResultOk);  // still initialized once
    CHECK(component->terminate() == kResultOk);
    CHECK(component->terminate() == kResultOk);
    CHECK(processor->setupProcessing(setup) == kNotInitialized);
    // And again after a full terminate.
    CHECK(component->initialize(nullptr) == kResultOk);
    CHECK(processor->setupProcessing(setup) == kResultOk);
    CHECK(component->terminate() == kResultOk);
    mapping->release();
    controller->release();
    processor->release();
    CHECK_EQ(component->release(), 0u);
}

TEST_CASE(HostBusesAreOneEventInputAndFourStereoOutputs) {
    Instance in(module(), kRate, 512, 1);
    if (!CHECK(in.ok())) return;
    IComponent* c = in.component;
    CHECK_EQ(c->getBusCount(kAudio, kOutput), 4);
    CHECK_EQ(c->getBusCount(kAudio, kInput), 0);
    CHECK_EQ(c->getBusCount(kEvent, kInput), 1);
    CHECK_EQ(c->getBusCount(kEvent, kOutput), 0);
    BusInfo bus;
    for (int b = 0; b < 4; b++) {
        CHECK(c->getBusInfo(kAudio, kOutput, b, bus) == kResultOk);
        CHECK(text(bus.name) == "Kz3 " + std::to_string(b + 1));
        CHECK_EQ(bus.channelCount, 2);
        CHECK_EQ(bus.busType, b == 0 ? int32_t(kMain) : int32_t(kAux));
        CHECK_EQ(bus.flags, b == 0 ? uint32_t(BusInfo::kDefaultActive) : 0u);
        SpeakerArrangement arrangement = 0;
        CHECK(in.processor->getBusArrangement(kOutput, b, arrangement) == kResultOk && arrangement == kStereo);
    }
    CHECK(c->getBusInfo(kAudio, kOutput, 4, bus) != kResultOk);
    CHECK(c->getBusInfo(kAudio, kOutput, -1, bus) != kResultOk);
    CHECK(c->getBusInfo(kEvent, kInput, 0, bus) == kResultOk);
    CHECK_EQ(bus.channelCount, 16);
    CHECK(c->activateBus(kAudio, kOutput, 4, 1) != kResultOk);

    SpeakerArrangement stereo[4] = {kStereo, kStereo, kStereo, kStereo};
    SpeakerArrangement mono[1] = {1};
    CHECK(in.processor->setBusArrangements(nullptr, 0, stereo, 4) == kResultTrue);
    CHECK(in.processor->setBusArrangements(nullptr, 0, mono, 1) != kResultTrue);
    CHECK(in.processor->setBusArrangements(stereo, 1, stereo, 4) != kResultTrue);
    CHECK(in.processor->canProcessSampleSize(kSample32) == kResultTrue);
    CHECK(in.processor->canProcessSampleSize(kSample64) != kResultTrue);
    ProcessSetup setup = {kRealtime, kSample64, 512, kRate};
    CHECK(in.processor->setupProcessing(setup) != kResultOk);
}

TEST_CASE(HostOnlyParameterIsHiddenControllerOneTwentyThree) {
    Instance in(module(), kRate, 512);
    if (!CHECK(in.ok())) return;
    CHECK_EQ(in.controller->getParameterCount(), 1);
    ParameterInfo info;
    if (!CHECK(in.controller->getParameterInfo(0, info) == kResultOk)) return;
    CHECK(info.flags & ParameterInfo::kIsHidden);
    CHECK(!(info.flags & ParameterInfo::kCanAutomate));
    CHECK(in.controller->getParameterInfo(1, info) != kResultOk);
    IMidiMapping* mapping = query<IMidiMapping>(in.component, iid::IMidiMapping);
    if (!CHECK(mapping)) return;
    for (int16_t channel = 0; channel < 16; channel++) {
        ParamID id = ~0u;
        CHECK(mapping->getMidiControllerAssignment(0, channel, 123, id) == kResultTrue && id == info.id);
    }
    ParamID id = 0;
    CHECK(mapping->getMidiControllerAssignment(0, 0, 7, id) != kResultTrue);
    CHECK(mapping->getMidiControllerAssignment(1, 0, 123, id) != kResultTrue);
    CHECK(mapping->getMidiControllerAssignment(0, 16, 123, id) != kResultTrue);
    mapping->release();
    String128 shown = {};
    CHECK(in.controller->getParamStringByValue(info.id, 1.0, shown) == kResultOk && text(shown) == "127");
    CHECK(in.controller->setParamNormalized(info.id, 0.5) == kResultOk);
    CHECK(in.controller->getParamNormalized(info.id) == 0.5);
    Stream controllerState;
    CHECK(in.controller->getState(&controllerState) == kResultOk && controllerState.bytes.empty());
}

TEST_CASE(HostStateIsTheChunkAndSurvivesShortStreams) {
    TestKit kit;
    Vst2Instance reference(vst2Path, kRate, 512);
    Instance in(module(), kRate, 512);
    if (!CHECK(in.ok() && reference.ok())) return;
    reference.setChunk(kit.bytes());
    const std::vector<uint8_t> expected = reference.chunk();
    CHECK(!expected.empty());

    Stream threeAtATime;
    threeAtATime.bytes = kit.bytes();
    threeAtATime.step = 3;
    CHECK(in.component->setState(&threeAtATime) == kResultOk);
    CHECK(in.state() == expected);
    Stream written;
    written.step = 3;
    CHECK(in.component->getState(&written) == kResultOk && written.bytes == expected);

    // Nothing changes on a stream that fails part way, one too short, one too
    // long or one that is not a chunk.
    TestKit other;
    other.kit.chunk.pads[0].settings.volume = 0.1f;
    const std::vector<uint8_t> otherBytes = other.bytes();
    Stream failing;
    failing.bytes = otherBytes;
    failing.step = 3;
    failing.failAfter = 5;
    CHECK(in.component->setState(&failing) != kResultOk);
    CHECK(in.state() == expected);
    std::vector<uint8_t> shorter(otherBytes.begin(), otherBytes.end() - 1);
    std::vector<uint8_t> longer = otherBytes;
    longer.push_back(0);
    std::vector<uint8_t> notChunk = otherBytes;
    notChunk[0] ^= 0xFF;
    for (const auto& bad : {shorter, longer, notChunk, std::vector<uint8_t>()}) {
        CHECK(!in.setChunk(bad));
        CHECK(in.state() == expected);
    }
    Stream failingWrite;
    failingWrite.failAfter = 0;
    CHECK(in.component->getState(&failingWrite) != kResultOk);

    CHECK(in.setChunk(otherBytes));
    reference.setChunk(otherBytes);
    CHECK(in.state() == reference.chunk() && in.state() != expected);
}

TEST_CASE(HostBlocksOfEverySizePlayAsTheVst2PlugIn) {
    TestKit kit;
    const uint32_t frames = 3 * 4096 + 777;
    for (uint32_t block : {1u, 64u, 100u, 512u, 4096u}) {
        const std::vector<Note> notes = edgeNotes(block, frames);
        const Render got = renderVst3(module(), kit.bytes(), frames, block, notes);
        const Render want = renderVst2(vst2Path, kit.bytes(), frames, block, notes);
        if (!CHECK(sameRender(got, want))) std::printf("  with blocks of %u frames\n", block);
        CHECK(!silent(got, 0));
    }
}

TEST_CASE(HostVelocitiesBecomeMidiVelocities) {
    TestKit kit;
    const uint32_t frames = 4096;
    Instance in(module(), kRate, int32_t(frames));
    Vst2Instance reference(vst2Path, kRate, int(frames));
    if (!CHECK(in.ok() && reference.ok() && in.setChunk(kit.bytes()))) return;
    reference.setChunk(kit.bytes());
    // round(v x 127), at least 1 above 0; 0 plays nothing.
    const float velocities[] = {0.5f, 0.001f, 1.0f, 0.0f, 2.0f};
    const int midi[] = {64, 1, 127, 0, 127};
    EventList list;
    std::vector<Note> played;
    for (int i = 0; i < 5; i++) {
        Event e = {};
        e.type = Event::kNoteOnEvent;
        e.sampleOffset = 700 * i;
        e.noteOn.pitch = int16_t(lv2test::kKick);
        e.noteOn.velocity = velocities[i];
        list.events.push_back(e);
        if (midi[i]) played.push_back({uint32_t(700 * i), 0x90, lv2test::kKick, midi[i]});
    }
    Render got, want;
    for (int k = 0; k < kOutputs; k++) {
        got.channel[k].assign(frames, 0.0f);
        want.channel[k].assign(frames, 0.0f);
    }
    float* outGot[kOutputs];
    float* outWant[kOutputs];
    for (int k = 0; k < kOutputs; k++) {
        outGot[k] = got.channel[k].data();
        outWant[k] = want.channel[k].data();
    }
    CHECK(in.process(frames, outGot, &list, nullptr) == kResultOk);
    reference.process(frames, outWant, played);
    CHECK(sameRender(got, want));
}

TEST_CASE(HostControllerOneTwentyThreeStopsAtItsFrame) {
    TestKit kit;
    const uint32_t frames = 3 * 4096 + 777, block = 512;
    // Inside a block, on a block's first frame, and in the block of notes.
    for (int64_t at : {7100, 7168, 1500}) {
        const std::vector<Note> notes = edgeNotes(block, frames, at);
        const Render got = renderVst3(module(), kit.bytes(), frames, block, notes);
        CHECK(sameRender(got, renderVst2(vst2Path, kit.bytes(), frames, block, notes)));
        CHECK(!sameRender(got, renderVst3(module(), kit.bytes(), frames, block, edgeNotes(block, frames))));
    }
}

TEST_CASE(HostInactiveBusesAndMissingBuffersAreNeverWritten) {
    TestKit kit;
    const uint32_t frames = 2048;
    Instance in(module(), kRate, int32_t(frames), 1);
    if (!CHECK(in.ok() && in.setChunk(kit.bytes()))) return;
    const float mark = 0.25f;
    std::vector<float> buffers[kOutputs];
    float* out[kOutputs];
    for (int k = 0; k < kOutputs; k++) {
        buffers[k].assign(frames, mark);
        out[k] = buffers[k].data();
    }
    EventList list;
    for (int note : {lv2test::kKick, lv2test::kSnare, lv2test::kHat, lv2test::kBankPad}) {
        Event e = {};
        e.type = Event::kNoteOnEvent;
        e.sampleOffset = 10;
        e.noteOn.pitch = int16_t(note);
        e.noteOn.velocity = 1.0f;
        list.events.push_back(e);
    }
    CHECK(in.process(frames, out, &list, nullptr) == kResultOk);
    CHECK(buffers[0][0] == 0.0f && buffers[0][20] != 0.0f);  // the main bus is cleared and played into
    for (int k = 2; k < kOutputs; k++)
        for (float v : buffers[k])
            if (!CHECK(v == mark)) break;
    // A host that passes fewer buses, or none at all.
    in.component->activateBus(kAudio, kOutput, 2, 1);
    for (int k = 2; k < kOutputs; k++) buffers[k].assign(frames, mark);
    CHECK(in.process(frames, out, &list, nullptr, 2) == kResultOk);
    for (int k = 4; k < kOutputs; k++) CHECK(buffers[k][100] == mark);
    CHECK(in.process(frames, out, &list, nullptr, 0) == kResultOk);
    float* none[kOutputs] = {};
    CHECK(in.process(frames, none, &list, nullptr) == kResultOk);
    CHECK(in.process(0, out, &list, nullptr) == kResultOk);
}
