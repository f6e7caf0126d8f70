#include "face/Face.h"

#include "plugin/Plugin.h"

namespace face {

VstIntPtr VSTCALL hostCallback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    const HostInfo* info = effect ? static_cast<const HostInfo*>(effect->user) : nullptr;
    switch (opcode) {
        case audioMasterVersion: return kHostVersion;
        case audioMasterWantMidi: return 1;
        case audioMasterGetSampleRate: return info ? static_cast<VstIntPtr>(info->sampleRate) : 0;
        case audioMasterGetBlockSize: return info ? info->maxBlock : 0;
        default: return 0;
    }
}

AEffect* openPlugin(HostInfo& info) {
    AEffect* effect = createPlugin(hostCallback);
    if (!effect) return nullptr;
    effect->user = &info;
    dispatch(effect, effOpen);
    return effect;
}

void setupPlugin(AEffect* effect, double sampleRate, int32_t maxBlock) {
    HostInfo* info = static_cast<HostInfo*>(effect->user);
    if (info) {
        info->sampleRate = sampleRate;
        info->maxBlock = maxBlock;
    }
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    dispatch(effect, effSetBlockSize, 0, maxBlock);
}

void closePlugin(AEffect* effect) {
    if (effect) dispatch(effect, effClose);
}

bool openEditor(AEffect* effect, void* parent, ERect** size) {
    ERect* rect = nullptr;
    dispatch(effect, effEditGetRect, 0, 0, &rect);
    if (size) *size = rect;
    return dispatch(effect, effEditOpen, 0, 0, parent) != 0;
}

}  // namespace face
