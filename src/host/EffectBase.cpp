#include "host/EffectBase.h"

#include <cstring>

namespace {

EffectBase* objectOf(AEffect* e) { return static_cast<EffectBase*>(e->object); }

VstIntPtr VSTCALL dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    EffectBase* object = objectOf(e);
    VstIntPtr result = 0;
    // An exception must never unwind into the host, which may not even be
    // C++; a request that threw answers 0.
    try {
        result = object->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        result = 0;
    }
    if (opcode == effClose) {
        delete object;
        return 1;
    }
    return result;
}

void VSTCALL processEntry(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
    objectOf(e)->process(inputs, outputs, frames);
}

void VSTCALL processReplacingEntry(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
    objectOf(e)->processReplacing(inputs, outputs, frames);
}

void VSTCALL setParameterEntry(AEffect* e, VstInt32 index, float value) { objectOf(e)->setParameter(index, value); }

float VSTCALL getParameterEntry(AEffect* e, VstInt32 index) { return objectOf(e)->getParameter(index); }

}  // namespace

int32_t EditorBase::getRect(ERect** rect) {
    *rect = nullptr;
    return 0;
}

int32_t EditorBase::open(void* parent) {
    parentWindow = parent;
    return 0;
}

void EditorBase::idle() {
    if (updatePending) {
        updatePending = 0;
        update();
    }
}

EffectBase::EffectBase(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams)
    : sampleRate(44100.0f),
      editor(nullptr),
      audioMaster(audioMaster),
      numPrograms(numPrograms),
      numParams(numParams),
      curProgram(0),
      blockSize(1024) {
    std::memset(&effect, 0, sizeof(effect));
    effect.magic = kEffectMagic;
    effect.dispatcher = dispatchEntry;
    effect.process = processEntry;
    effect.setParameter = setParameterEntry;
    effect.getParameter = getParameterEntry;
    effect.numPrograms = numPrograms;
    effect.numParams = numParams;
    effect.numInputs = 1;
    effect.numOutputs = 2;
    effect.ioRatio = 1.0f;
    effect.object = this;
    effect.uniqueID = 0x4E6F4566;  // 'NoEf'
    effect.version = 1;
    effect.processReplacing = processReplacingEntry;
}

EffectBase::~EffectBase() { delete editor; }

void EffectBase::setEditor(EditorBase* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void EffectBase::setFlag(VstInt32 bit, bool state) {
    if (state)
        effect.flags |= bit;
    else
        effect.flags &= ~bit;
}

VstIntPtr EffectBase::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster ? audioMaster(&effect, opcode, index, value, ptr, opt) : 0;
}

// Defaults of the first level.
void EffectBase::setParameter(VstInt32, float) {}
float EffectBase::getParameter(VstInt32) { return 0.0f; }
void EffectBase::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    if (audioMaster) audioMaster(&effect, audioMasterAutomate, index, 0, nullptr, value);
}
void EffectBase::processReplacing(float**, float**, VstInt32) {}
void EffectBase::open() {}
void EffectBase::close() {}
VstInt32 EffectBase::getProgram() { return curProgram; }
void EffectBase::setProgram(VstInt32 program) { curProgram = program; }
void EffectBase::setProgramName(char* name) { *name = 0; }
void EffectBase::getProgramName(char* name) { *name = 0; }
void EffectBase::getParameterLabel(VstInt32, char* label) { *label = 0; }
void EffectBase::getParameterDisplay(VstInt32, char* text) { *text = 0; }
void EffectBase::getParameterName(VstInt32, char* text) { *text = 0; }
float EffectBase::getVu() { return 0.0f; }
VstInt32 EffectBase::getChunk(void**, bool) { return 0; }
VstInt32 EffectBase::setChunk(void*, VstInt32, bool) { return 0; }
void EffectBase::setSampleRate(float rate) { sampleRate = rate; }
void EffectBase::setBlockSize(VstInt32 size) { blockSize = size; }
void EffectBase::suspend() {}
void EffectBase::resume() {}

// Setters that write the record.
void EffectBase::setUniqueID(VstInt32 id) { effect.uniqueID = id; }
void EffectBase::setNumInputs(VstInt32 inputs) { effect.numInputs = inputs; }
void EffectBase::setNumOutputs(VstInt32 outputs) { effect.numOutputs = outputs; }
void EffectBase::hasVu(bool state) { setFlag(effFlagsHasVu, state); }
void EffectBase::hasClip(bool state) { setFlag(effFlagsHasClip, state); }
void EffectBase::canMono(bool state) { setFlag(effFlagsCanMono, state); }
void EffectBase::canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
void EffectBase::programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
void EffectBase::setRealtimeQualities(VstInt32 q) { effect.realQualities = q; }
void EffectBase::setOfflineQualities(VstInt32 q) { effect.offQualities = q; }
void EffectBase::setInitialDelay(VstInt32 delay) { effect.initialDelay = delay; }
float EffectBase::getSampleRate() { return sampleRate; }
VstInt32 EffectBase::getBlockSize() { return blockSize; }

// Host wrappers of the first level.
VstInt32 EffectBase::getMasterVersion() {
    VstInt32 version = static_cast<VstInt32>(callHost(audioMasterVersion));
    return version ? version : 1;
}
VstInt32 EffectBase::getCurrentUniqueId() { return static_cast<VstInt32>(callHost(audioMasterCurrentId)); }
void EffectBase::masterIdle() { callHost(audioMasterIdle); }
bool EffectBase::isInputConnected(VstInt32 input) { return callHost(audioMasterPinConnected, input, 0) == 0; }
bool EffectBase::isOutputConnected(VstInt32 output) { return callHost(audioMasterPinConnected, output, 1) == 0; }

VstIntPtr EffectBase::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    VstIntPtr answer = 0;
    switch (opcode) {
        case effOpen: open(); break;
        case effClose: close(); break;
        case effSetProgram:
            if (value < numPrograms) setProgram(static_cast<VstInt32>(value));
            break;
        case effGetProgram: answer = getProgram(); break;
        case effSetProgramName: setProgramName(static_cast<char*>(ptr)); break;
        case effGetProgramName: getProgramName(static_cast<char*>(ptr)); break;
        case effGetParamLabel: getParameterLabel(index, static_cast<char*>(ptr)); break;
        case effGetParamDisplay: getParameterDisplay(index, static_cast<char*>(ptr)); break;
        case effGetParamName: getParameterName(index, static_cast<char*>(ptr)); break;
        case effGetVu: answer = static_cast<VstIntPtr>(static_cast<VstInt32>(getVu() * 32767.0)); break;
        case effSetSampleRate: setSampleRate(opt); break;
        case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); break;
        case effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            break;
        case effEditGetRect:
            if (editor) {
                ERect** rect = static_cast<ERect**>(ptr);
                answer = editor->getRect(rect);
                // Some hosts take 0 for "no size" and give the editor one of their own.
                if (rect && *rect) answer = 1;
            }
            break;
        case effEditOpen:
            if (editor) answer = editor->open(ptr);
            break;
        case effEditClose:
            if (editor) editor->close();
            break;
        case effEditIdle:
            if (editor) editor->idle();
            break;
        case effIdentify: answer = 0x4E764566; break;  // 'NvEf'
        case effGetChunk: answer = getChunk(static_cast<void**>(ptr), index != 0); break;
        case effSetChunk: answer = setChunk(ptr, static_cast<VstInt32>(value), index != 0); break;
        default: break;
    }
    return answer;
}
