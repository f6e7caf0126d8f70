// One VST 3 instance of the instrument: a single object that is component,
// processor and edit controller at once (hosts find the controller on the
// component and use it directly). It drives the effect record createPlugin
// gives, only through that record, as a VST 2 host would.
#pragma once

#include <atomic>
#include <cstdint>

#include "face/EventBatcher.h"
#include "face/Face.h"
#include "vst3/Vst3Abi.h"

namespace vst3face {

const int kOutputBuses = face::kAudioOutputs / 2;
const int kMidiChannels = 16;
const int kAllNotesOffController = 123;
// The one parameter: controller 123 as hosts deliver it, through IMidiMapping.
const vst3::ParamID kAllNotesOffParam = 123;

class View;

// The component and the controller both have setState and getState with the
// same signatures; these two sides keep them apart.
class ComponentSide : public vst3::IComponent {
public:
    // The kit: the bytes effGetChunk gives. [host]
    vst3::tresult VST3CALL setState(vst3::IBStream* state) final { return restoreKit(state); }
    vst3::tresult VST3CALL getState(vst3::IBStream* state) final { return saveKit(state); }

protected:
    virtual vst3::tresult restoreKit(vst3::IBStream* state) = 0;
    virtual vst3::tresult saveKit(vst3::IBStream* state) = 0;
};

class ControllerSide : public vst3::IEditController {
public:
    // The controller keeps nothing of its own: its state is empty.
    vst3::tresult VST3CALL setState(vst3::IBStream*) final { return vst3::kResultOk; }
    vst3::tresult VST3CALL getState(vst3::IBStream*) final { return vst3::kResultOk; }
};

class Plugin : public ComponentSide, public vst3::IAudioProcessor, public ControllerSide, public vst3::IMidiMapping {
public:
    Plugin();
    virtual ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // FUnknown
    vst3::tresult VST3CALL queryInterface(const vst3::TUID iid, void** obj) override;
    uint32_t VST3CALL addRef() override;
    uint32_t VST3CALL release() override;

    // IPluginBase: hosts may call both twice on a single-component plug-in
    // (once as component, once as controller); the record lives while any
    // initialize is not yet matched by a terminate. [host]
    vst3::tresult VST3CALL initialize(vst3::FUnknown* context) override;
    vst3::tresult VST3CALL terminate() override;

    // IComponent [host]
    vst3::tresult VST3CALL getControllerClassId(vst3::TUID classId) override;
    vst3::tresult VST3CALL setIoMode(int32_t mode) override;
    int32_t VST3CALL getBusCount(int32_t type, int32_t dir) override;
    vst3::tresult VST3CALL getBusInfo(int32_t type, int32_t dir, int32_t index, vst3::BusInfo& bus) override;
    vst3::tresult VST3CALL getRoutingInfo(vst3::RoutingInfo& in, vst3::RoutingInfo& out) override;
    vst3::tresult VST3CALL activateBus(int32_t type, int32_t dir, int32_t index, vst3::TBool state) override;
    vst3::tresult VST3CALL setActive(vst3::TBool state) override;

    // IAudioProcessor: process is [audio], the rest [host] while inactive.
    vst3::tresult VST3CALL setBusArrangements(vst3::SpeakerArrangement* inputs, int32_t numIns,
                                              vst3::SpeakerArrangement* outputs, int32_t numOuts) override;
    vst3::tresult VST3CALL getBusArrangement(int32_t dir, int32_t index, vst3::SpeakerArrangement& arr) override;
    vst3::tresult VST3CALL canProcessSampleSize(int32_t symbolicSampleSize) override;
    uint32_t VST3CALL getLatencySamples() override;
    vst3::tresult VST3CALL setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult VST3CALL setProcessing(vst3::TBool state) override;
    vst3::tresult VST3CALL process(vst3::ProcessData& data) override;
    uint32_t VST3CALL getTailSamples() override;

    // IEditController [editor]
    vst3::tresult VST3CALL setComponentState(vst3::IBStream* state) override;
    int32_t VST3CALL getParameterCount() override;
    vst3::tresult VST3CALL getParameterInfo(int32_t paramIndex, vst3::ParameterInfo& info) override;
    vst3::tresult VST3CALL getParamStringByValue(vst3::ParamID id, vst3::ParamValue value,
                                                 vst3::String128 string) override;
    vst3::tresult VST3CALL getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                 vst3::ParamValue& value) override;
    vst3::ParamValue VST3CALL normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::ParamValue VST3CALL plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plain) override;
    vst3::ParamValue VST3CALL getParamNormalized(vst3::ParamID id) override;
    vst3::tresult VST3CALL setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult VST3CALL setComponentHandler(vst3::IComponentHandler* handler) override;
    vst3::IPlugView* VST3CALL createView(vst3::FIDString name) override;

    // IMidiMapping [any]
    vst3::tresult VST3CALL getMidiControllerAssignment(int32_t busIndex, int16_t channel, int16_t controller,
                                                       vst3::ParamID& id) override;

    AEffect* effect() const { return fx; }
    // The view tells its instrument when it opens and goes; one editor at a
    // time. [editor]
    bool editorOpen() const { return openView != nullptr; }
    void viewOpened(View* view) { openView = view; }
    void viewGone(View* view) {
        if (openView == view) openView = nullptr;
    }

protected:
    vst3::tresult restoreKit(vst3::IBStream* state) override;
    vst3::tresult saveKit(vst3::IBStream* state) override;

private:
    void setMains(bool on);
    void closeEffect();
    // Hands the block's notes and controller changes to the batcher in frame
    // order. [audio]
    void addEvents(vst3::ProcessData& data) noexcept;

    std::atomic<uint32_t> references{1};
    int initializations = 0;
    AEffect* fx = nullptr;
    face::HostInfo host;
    bool busActive[kOutputBuses] = {true, false, false, false};
    bool active = false;
    bool mainsOn = false;
    vst3::ParamValue allNotesOffValue = 0.0;
    View* openView = nullptr;
    face::EventBatcher batcher;
};

}  // namespace vst3face
