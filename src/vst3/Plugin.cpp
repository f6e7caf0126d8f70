#include "vst3/Plugin.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "vst3/Strings.h"
#include "vst3/View.h"

namespace vst3face {

using namespace vst3;

namespace {

const char* const kBusNames[kOutputBuses] = {"Kz3 1", "Kz3 2", "Kz3 3", "Kz3 4"};
const double kControllerSteps = 127.0;

bool isOutputBus(int32_t type, int32_t dir, int32_t index) {
    return type == kAudio && dir == kOutput && index >= 0 && index < kOutputBuses;
}

bool isEventBus(int32_t type, int32_t dir, int32_t index) { return type == kEvent && dir == kInput && index == 0; }

}  // namespace

Plugin::Plugin() = default;

Plugin::~Plugin() { closeEffect(); }

tresult Plugin::queryInterface(const TUID iid, void** obj) {
    if (!obj) return kInvalidArgument;
    void* found = nullptr;
    if (sameUid(iid, iid::FUnknown) || sameUid(iid, iid::IPluginBase) || sameUid(iid, iid::IComponent))
        found = static_cast<IComponent*>(this);
    else if (sameUid(iid, iid::IAudioProcessor))
        found = static_cast<IAudioProcessor*>(this);
    else if (sameUid(iid, iid::IEditController))
        found = static_cast<IEditController*>(this);
    else if (sameUid(iid, iid::IMidiMapping))
        found = static_cast<IMidiMapping*>(this);
    *obj = found;
    if (!found) return kNoInterface;
    addRef();
    return kResultOk;
}

uint32_t Plugin::addRef() { return ++references; }

uint32_t Plugin::release() {
    const uint32_t left = --references;
    if (left == 0) delete this;
    return left;
}

tresult Plugin::initialize(FUnknown*) {
    if (!fx) {
        fx = face::openPlugin(host);
        if (!fx) return kResultFalse;
    }
    initializations++;
    return kResultOk;
}

tresult Plugin::terminate() {
    if (initializations > 0 && --initializations == 0) closeEffect();
    return kResultOk;
}

void Plugin::closeEffect() {
    if (openView) openView->close();
    setMains(false);
    active = false;
    face::closePlugin(fx);
    fx = nullptr;
}

void Plugin::setMains(bool on) {
    if (!fx || mainsOn == on) return;
    face::dispatch(fx, effMainsChanged, 0, on ? 1 : 0);
    mainsOn = on;
}

// ---- component ----

tresult Plugin::getControllerClassId(TUID) { return kResultFalse; }

tresult Plugin::setIoMode(int32_t) { return kResultOk; }

int32_t Plugin::getBusCount(int32_t type, int32_t dir) {
    if (type == kAudio && dir == kOutput) return kOutputBuses;
    if (type == kEvent && dir == kInput) return 1;
    return 0;
}

tresult Plugin::getBusInfo(int32_t type, int32_t dir, int32_t index, BusInfo& bus) {
    std::memset(&bus, 0, sizeof bus);
    bus.mediaType = type;
    bus.direction = dir;
    if (isOutputBus(type, dir, index)) {
        bus.channelCount = 2;
        copyText(bus.name, kBusNames[index]);
        bus.busType = index == 0 ? kMain : kAux;
        bus.flags = index == 0 ? BusInfo::kDefaultActive : 0;
        return kResultOk;
    }
    if (isEventBus(type, dir, index)) {
        bus.channelCount = kMidiChannels;
        copyText(bus.name, "MIDI In");
        bus.busType = kMain;
        bus.flags = BusInfo::kDefaultActive;
        return kResultOk;
    }
    return kInvalidArgument;
}

tresult Plugin::getRoutingInfo(RoutingInfo&, RoutingInfo&) { return kNotImplemented; }

tresult Plugin::activateBus(int32_t type, int32_t dir, int32_t index, TBool state) {
    if (isOutputBus(type, dir, index)) {
        busActive[index] = state != 0;
        return kResultOk;
    }
    return isEventBus(type, dir, index) ? kResultOk : kInvalidArgument;
}

tresult Plugin::setActive(TBool state) {
    if (!fx) return kNotInitialized;
    active = state != 0;
    setMains(active);
    return kResultOk;
}

// ---- processor setup ----

tresult Plugin::setBusArrangements(SpeakerArrangement*, int32_t numIns, SpeakerArrangement* outputs, int32_t numOuts) {
    if (numIns != 0 || numOuts < 0 || numOuts > kOutputBuses || (numOuts > 0 && !outputs)) return kResultFalse;
    for (int32_t i = 0; i < numOuts; i++)
        if (outputs[i] != kStereo) return kResultFalse;
    return kResultTrue;
}

tresult Plugin::getBusArrangement(int32_t dir, int32_t index, SpeakerArrangement& arr) {
    if (!isOutputBus(kAudio, dir, index)) return kInvalidArgument;
    arr = kStereo;
    return kResultOk;
}

tresult Plugin::canProcessSampleSize(int32_t size) { return size == kSample32 ? kResultTrue : kResultFalse; }

uint32_t Plugin::getLatencySamples() { return 0; }

tresult Plugin::setupProcessing(ProcessSetup& setup) {
    if (!fx) return kNotInitialized;
    if (setup.symbolicSampleSize != kSample32) return kResultFalse;
    if (!(setup.sampleRate > 0.0) || setup.maxSamplesPerBlock <= 0) return kInvalidArgument;
    face::setupPlugin(fx, setup.sampleRate, setup.maxSamplesPerBlock);
    return kResultOk;
}

tresult Plugin::setProcessing(TBool state) {
    if (!fx) return kNotInitialized;
    if (active) setMains(state != 0);
    return kResultOk;
}

uint32_t Plugin::getTailSamples() { return kNoTail; }

// ---- controller: one hidden parameter that carries controller 123 ----

tresult Plugin::setComponentState(IBStream*) { return kResultOk; }

int32_t Plugin::getParameterCount() { return 1; }

tresult Plugin::getParameterInfo(int32_t index, ParameterInfo& info) {
    if (index != 0) return kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.id = kAllNotesOffParam;
    copyText(info.title, "All Notes Off");
    copyText(info.shortTitle, "Notes Off");
    info.stepCount = static_cast<int32_t>(kControllerSteps);
    info.defaultNormalizedValue = 0.0;
    info.unitId = 0;
    info.flags = ParameterInfo::kIsHidden;
    return kResultOk;
}

tresult Plugin::getParamStringByValue(ParamID id, ParamValue value, String128 string) {
    if (id != kAllNotesOffParam || !string) return kInvalidArgument;
    const ParamValue unit = value > 0.0 ? (value < 1.0 ? value : 1.0) : 0.0;
    const long plain = std::lround(normalizedParamToPlain(id, unit));
    char text[8];
    std::snprintf(text, sizeof text, "%ld", plain);
    copyText(*reinterpret_cast<String128*>(string), text);
    return kResultOk;
}

tresult Plugin::getParamValueByString(ParamID id, TChar* string, ParamValue& value) {
    if (id != kAllNotesOffParam || !string) return kInvalidArgument;
    long plain = 0;
    int i = 0;
    for (; string[i] >= u'0' && string[i] <= u'9' && i < 8; i++) plain = plain * 10 + (string[i] - u'0');
    if (i == 0 || string[i] != 0) return kResultFalse;
    value = plainParamToNormalized(id, static_cast<ParamValue>(plain));
    return kResultOk;
}

ParamValue Plugin::normalizedParamToPlain(ParamID id, ParamValue value) {
    return id == kAllNotesOffParam ? value * kControllerSteps : value;
}

ParamValue Plugin::plainParamToNormalized(ParamID id, ParamValue plain) {
    if (id != kAllNotesOffParam) return plain;
    const ParamValue v = plain / kControllerSteps;
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

ParamValue Plugin::getParamNormalized(ParamID id) { return id == kAllNotesOffParam ? allNotesOffValue : 0.0; }

tresult Plugin::setParamNormalized(ParamID id, ParamValue value) {
    if (id != kAllNotesOffParam) return kInvalidArgument;
    allNotesOffValue = value;
    return kResultOk;
}

tresult Plugin::setComponentHandler(IComponentHandler*) { return kResultOk; }

IPlugView* Plugin::createView(FIDString name) {
    if (!fx || !name || std::strcmp(name, kEditorView) != 0 || !(fx->flags & effFlagsHasEditor)) return nullptr;
    return new (std::nothrow) View(this);
}

tresult Plugin::getMidiControllerAssignment(int32_t busIndex, int16_t channel, int16_t controller, ParamID& id) {
    if (busIndex != 0 || channel < 0 || channel >= kMidiChannels || controller != kAllNotesOffController)
        return kResultFalse;
    id = kAllNotesOffParam;
    return kResultTrue;
}

}  // namespace vst3face
