#include "host/EffectBase.h"

namespace {
VstIntPtr lowByte(bool b) { return static_cast<VstIntPtr>(static_cast<unsigned char>(b)); }
}  // namespace

VstIntPtr EffectBaseExt::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    VstInt32 v = static_cast<VstInt32>(value);
    switch (opcode) {
        case effProcessEvents: return processEvents(static_cast<VstEvents*>(ptr));
        case effCanBeAutomated: return canParameterBeAutomated(index) ? 1 : 0;
        case effString2Parameter: return string2parameter(index, static_cast<char*>(ptr)) ? 1 : 0;
        case effGetNumProgramCategories: return getNumCategories();
        case effGetProgramNameIndexed: return getProgramNameIndexed(v, index, static_cast<char*>(ptr)) ? 1 : 0;
        case effCopyProgram: return copyProgram(index) ? 1 : 0;
        case effConnectInput: inputConnected(index, value != 0); return 1;
        case effConnectOutput: outputConnected(index, value != 0); return 1;
        case effGetInputProperties: return getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetOutputProperties: return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetPlugCategory: return getPlugCategory();
        case effGetCurrentPosition: return reportCurrentPosition();
        case effGetDestinationBuffer: return reinterpret_cast<VstIntPtr>(reportDestinationBuffer());
        case effOfflineNotify: return lowByte(offlineNotify(static_cast<VstAudioFile*>(ptr), v, index != 0));
        case effOfflinePrepare: return lowByte(offlinePrepare(static_cast<VstOfflineTask*>(ptr), v));
        case effOfflineRun: return lowByte(offlineRun(static_cast<VstOfflineTask*>(ptr), v));
        case effProcessVarIo: return processVariableIo(static_cast<VstVariableIo*>(ptr)) ? 1 : 0;
        case effSetSpeakerArrangement:
            return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                         static_cast<VstSpeakerArrangement*>(ptr))
                       ? 1
                       : 0;
        case effSetBlockSizeAndSampleRate: setBlockSizeAndSampleRate(v, opt); return 1;
        case effSetBypass: return setBypass(value != 0) ? 1 : 0;
        case effGetEffectName: return getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetErrorText: return getErrorText(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorString: return getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetProductString: return getProductString(static_cast<char*>(ptr)) ? 1 : 0;
        case effGetVendorVersion: return getVendorVersion();
        case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
        case effCanDo: return canDo(static_cast<char*>(ptr));
        case effGetTailSize: return getGetTailSize();
        case effIdle: return fxIdle();
        case effGetIcon: return reinterpret_cast<VstIntPtr>(getIcon());
        case effSetViewPosition: return setViewPosition(index, v) ? 1 : 0;
        case effGetParameterProperties:
            return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)) ? 1 : 0;
        case effKeysRequired: return keysRequired() ? 0 : 1;
        case effGetVstVersion: return getVstVersion();
        default: return EffectBase::dispatcher(opcode, index, value, ptr, opt);
    }
}

// Host wrappers of the second level.
void EffectBaseExt::wantEvents(VstInt32 filter) { callHost(audioMasterWantMidi, 0, filter); }
VstTimeInfo* EffectBaseExt::getTimeInfo(VstInt32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}
VstInt32 EffectBaseExt::tempoAt(VstInt32 pos) { return static_cast<VstInt32>(callHost(audioMasterTempoAt, 0, pos)); }
VstInt32 EffectBaseExt::getNumAutomatableParameters() {
    return static_cast<VstInt32>(callHost(audioMasterGetNumAutomatableParameters));
}
VstInt32 EffectBaseExt::getParameterQuantization() {
    return static_cast<VstInt32>(callHost(audioMasterGetParameterQuantization));
}
bool EffectBaseExt::ioChanged() { return callHost(audioMasterIOChanged) != 0; }
bool EffectBaseExt::needIdle() { return callHost(audioMasterNeedIdle) != 0; }
bool EffectBaseExt::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}
double EffectBaseExt::updateSampleRate() {
    callHost(audioMasterGetSampleRate);
    return sampleRate;
}
VstInt32 EffectBaseExt::updateBlockSize() {
    callHost(audioMasterGetBlockSize);
    return blockSize;
}
VstInt32 EffectBaseExt::getInputLatency() { return static_cast<VstInt32>(callHost(audioMasterGetInputLatency)); }
VstInt32 EffectBaseExt::getOutputLatency() { return static_cast<VstInt32>(callHost(audioMasterGetOutputLatency)); }
AEffect* EffectBaseExt::getPreviousPlug(VstInt32) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug));
}
AEffect* EffectBaseExt::getNextPlug(VstInt32) { return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug)); }
VstInt32 EffectBaseExt::willProcessReplacing() {
    return static_cast<VstInt32>(callHost(audioMasterWillReplaceOrAccumulate));
}
VstInt32 EffectBaseExt::getCurrentProcessLevel() {
    return static_cast<VstInt32>(callHost(audioMasterGetCurrentProcessLevel));
}
VstInt32 EffectBaseExt::getAutomationState() { return static_cast<VstInt32>(callHost(audioMasterGetAutomationState)); }
bool EffectBaseExt::offlineRead(VstOfflineTask* task, VstInt32 option, bool readSource) {
    return callHost(audioMasterOfflineRead, readSource, option, task) != 0;
}
bool EffectBaseExt::offlineWrite(VstOfflineTask* task, VstInt32 option) {
    return callHost(audioMasterOfflineWrite, 0, option, task) != 0;
}
bool EffectBaseExt::offlineStart(VstAudioFile* files, VstInt32 numFiles, VstInt32 numNewFiles) {
    return callHost(audioMasterOfflineStart, numNewFiles, numFiles, files) != 0;
}
VstInt32 EffectBaseExt::offlineGetCurrentPass() { return callHost(audioMasterOfflineGetCurrentPass) != 0; }
VstInt32 EffectBaseExt::offlineGetCurrentMetaPass() { return callHost(audioMasterOfflineGetCurrentMetaPass) != 0; }
void EffectBaseExt::setOutputSampleRate(float rate) { callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate); }
bool EffectBaseExt::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
    return callHost(audioMasterGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(input), output) != 0;
}
bool EffectBaseExt::getHostVendorString(char* text) { return callHost(audioMasterGetVendorString, 0, 0, text) != 0; }
bool EffectBaseExt::getHostProductString(char* text) { return callHost(audioMasterGetProductString, 0, 0, text) != 0; }
VstInt32 EffectBaseExt::getHostVendorVersion() { return static_cast<VstInt32>(callHost(audioMasterGetVendorVersion)); }
VstIntPtr EffectBaseExt::hostVendorSpecific(VstInt32 a, VstIntPtr b, void* ptr, float f) {
    return callHost(audioMasterVendorSpecific, a, b, ptr, f);
}
bool EffectBaseExt::canHostDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text) != 0; }
VstInt32 EffectBaseExt::getHostLanguage() { return static_cast<VstInt32>(callHost(audioMasterGetLanguage)); }
void* EffectBaseExt::openWindow(void* window) {
    return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}
bool EffectBaseExt::closeWindow(void* window) { return callHost(audioMasterCloseWindow, 0, 0, window) != 0; }
void* EffectBaseExt::getDirectory() { return reinterpret_cast<void*>(callHost(audioMasterGetDirectory)); }
bool EffectBaseExt::updateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }

bool EffectBaseExt::sendVstEventsToHost(VstEvents* events) {
    return audioMaster && callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

// Flag setters of the second level.
void EffectBaseExt::wantAsyncOperation(bool state) { setFlag(effFlagsExtIsAsync, state); }
void EffectBaseExt::hasExternalBuffer(bool state) { setFlag(effFlagsExtHasBuffer, state); }
void EffectBaseExt::isSynth(bool state) { setFlag(effFlagsIsSynth, state); }
void EffectBaseExt::noTail(bool state) { setFlag(effFlagsNoSoundInStop, state); }

// Defaults of the second level.
VstInt32 EffectBaseExt::processEvents(VstEvents*) { return 0; }
bool EffectBaseExt::canParameterBeAutomated(VstInt32) { return true; }
bool EffectBaseExt::string2parameter(VstInt32, char*) { return false; }
float EffectBaseExt::getChannelParameter(VstInt32, VstInt32) { return 0.0f; }
VstInt32 EffectBaseExt::getNumCategories() { return 1; }
bool EffectBaseExt::getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }
bool EffectBaseExt::copyProgram(VstInt32) { return false; }
void EffectBaseExt::inputConnected(VstInt32, bool) {}
void EffectBaseExt::outputConnected(VstInt32, bool) {}
bool EffectBaseExt::getInputProperties(VstInt32, VstPinProperties*) { return false; }
bool EffectBaseExt::getOutputProperties(VstInt32, VstPinProperties*) { return false; }
VstInt32 EffectBaseExt::getPlugCategory() {
    return (effect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}
VstInt32 EffectBaseExt::reportCurrentPosition() { return 0; }
float* EffectBaseExt::reportDestinationBuffer() { return nullptr; }
bool EffectBaseExt::offlineNotify(VstAudioFile*, VstInt32, bool) { return false; }
bool EffectBaseExt::offlinePrepare(VstOfflineTask*, VstInt32) { return false; }
bool EffectBaseExt::offlineRun(VstOfflineTask*, VstInt32) { return false; }
VstInt32 EffectBaseExt::offlineGetNumPasses() { return 0; }
VstInt32 EffectBaseExt::offlineGetNumMetaPasses() { return 0; }
bool EffectBaseExt::processVariableIo(VstVariableIo*) { return false; }
bool EffectBaseExt::setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) { return false; }
void EffectBaseExt::setBlockSizeAndSampleRate(VstInt32 newBlockSize, float newSampleRate) {
    blockSize = newBlockSize;
    sampleRate = newSampleRate;
}
bool EffectBaseExt::setBypass(bool) { return false; }
bool EffectBaseExt::getEffectName(char*) { return false; }
bool EffectBaseExt::getErrorText(char*) { return false; }
bool EffectBaseExt::getVendorString(char*) { return false; }
bool EffectBaseExt::getProductString(char*) { return false; }
VstInt32 EffectBaseExt::getVendorVersion() { return 0; }
VstIntPtr EffectBaseExt::vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
VstInt32 EffectBaseExt::canDo(char*) { return 0; }
void* EffectBaseExt::getIcon() { return nullptr; }
bool EffectBaseExt::setViewPosition(VstInt32, VstInt32) { return false; }
VstInt32 EffectBaseExt::getGetTailSize() { return 0; }
VstInt32 EffectBaseExt::fxIdle() { return 0; }
bool EffectBaseExt::getParameterProperties(VstInt32, VstParameterProperties*) { return false; }
bool EffectBaseExt::keysRequired() { return false; }
VstInt32 EffectBaseExt::getVstVersion() { return 2; }
