// The VST 2 binary interface as this plug-in uses it: plain C records and
// function pointers shared with the host. Layouts are checked at compile
// time for both pointer sizes at the end of this file.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALL __cdecl
#else
#define VSTCALL
#endif

typedef int32_t VstInt32;
typedef intptr_t VstIntPtr;

struct AEffect;

typedef VstIntPtr(VSTCALL* audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                void* ptr, float opt);
typedef VstIntPtr(VSTCALL* AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                  void* ptr, float opt);
typedef void(VSTCALL* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
typedef void(VSTCALL* AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float value);
typedef float(VSTCALL* AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

const VstInt32 kEffectMagic = 0x56737450;  // 'VstP'

struct AEffect {
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    char future[60];
};

enum VstAEffectFlags {
    effFlagsHasEditor = 1,
    effFlagsHasClip = 2,
    effFlagsHasVu = 4,
    effFlagsCanMono = 8,
    effFlagsCanReplacing = 16,
    effFlagsProgramChunks = 32,
    effFlagsIsSynth = 256,
    effFlagsNoSoundInStop = 512,
    effFlagsExtIsAsync = 1024,
    effFlagsExtHasBuffer = 2048,
};

enum VstEffectOpcodes {
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,
    effEditMouse,
    effEditKey,
    effEditIdle,
    effEditTop,
    effEditSleep,
    effIdentify,
    effGetChunk,
    effSetChunk,
    effProcessEvents,
    effCanBeAutomated,
    effString2Parameter,
    effGetNumProgramCategories,
    effGetProgramNameIndexed,
    effCopyProgram,
    effConnectInput,
    effConnectOutput,
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,
    effGetCurrentPosition,
    effGetDestinationBuffer,
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun,
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBlockSizeAndSampleRate,
    effSetBypass,
    effGetEffectName,
    effGetErrorText,
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific,
    effCanDo,
    effGetTailSize,
    effIdle,
    effGetIcon,
    effSetViewPosition,
    effGetParameterProperties,
    effKeysRequired,
    effGetVstVersion,
};

enum AudioMasterOpcodes {
    audioMasterAutomate = 0,
    audioMasterVersion,
    audioMasterCurrentId,
    audioMasterIdle,
    audioMasterPinConnected,
    audioMasterWantMidi = 6,
    audioMasterGetTime,
    audioMasterProcessEvents,
    audioMasterTempoAt = 10,
    audioMasterGetNumAutomatableParameters,
    audioMasterGetParameterQuantization,
    audioMasterIOChanged,
    audioMasterNeedIdle,
    audioMasterSizeWindow,
    audioMasterGetSampleRate,
    audioMasterGetBlockSize,
    audioMasterGetInputLatency,
    audioMasterGetOutputLatency,
    audioMasterGetPreviousPlug,
    audioMasterGetNextPlug,
    audioMasterWillReplaceOrAccumulate,
    audioMasterGetCurrentProcessLevel,
    audioMasterGetAutomationState,
    audioMasterOfflineStart,
    audioMasterOfflineRead,
    audioMasterOfflineWrite,
    audioMasterOfflineGetCurrentPass,
    audioMasterOfflineGetCurrentMetaPass,
    audioMasterSetOutputSampleRate,
    audioMasterGetSpeakerArrangement,
    audioMasterGetVendorString,
    audioMasterGetProductString,
    audioMasterGetVendorVersion,
    audioMasterVendorSpecific,
    audioMasterCanDo = 37,
    audioMasterGetLanguage,
    audioMasterOpenWindow,
    audioMasterCloseWindow,
    audioMasterGetDirectory,
    audioMasterUpdateDisplay,
};

// What a host answers to audioMasterVersion: the interface version it
// speaks, 2.4.
const VstIntPtr kHostVersion = 2400;

enum VstEventTypes { kVstMidiType = 1, kVstSysExType = 6 };

struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    char data[16];
};

struct VstMidiEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 noteLength;
    VstInt32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

// The host allocates numEvents entries; the array length here is nominal.
struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2];
};

enum VstPinPropertiesFlags { kVstPinIsActive = 1, kVstPinIsStereo = 2, kVstPinUseSpeaker = 4 };

struct VstPinProperties {
    char label[64];
    VstInt32 flags;
    VstInt32 arrangementType;
    char shortLabel[8];
    char future[48];
};

struct ERect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

// Records that only pass through this plug-in as pointers.
struct VstTimeInfo;
struct VstAudioFile;
struct VstOfflineTask;
struct VstVariableIo;
struct VstSpeakerArrangement;
struct VstParameterProperties;

enum VstPlugCategory { kPlugCategUnknown = 0, kPlugCategEffect = 1, kPlugCategSynth = 2 };

// Layout checks: offsets for 32-bit and 64-bit builds.
#define KZ_VST_CHECK(type, field, off32, off64) \
    static_assert(offsetof(type, field) == (sizeof(void*) == 4 ? (off32) : (off64)), #type "." #field)

KZ_VST_CHECK(AEffect, magic, 0, 0);
KZ_VST_CHECK(AEffect, dispatcher, 4, 8);
KZ_VST_CHECK(AEffect, process, 8, 16);
KZ_VST_CHECK(AEffect, setParameter, 12, 24);
KZ_VST_CHECK(AEffect, getParameter, 16, 32);
KZ_VST_CHECK(AEffect, numPrograms, 20, 40);
KZ_VST_CHECK(AEffect, numParams, 24, 44);
KZ_VST_CHECK(AEffect, numInputs, 28, 48);
KZ_VST_CHECK(AEffect, numOutputs, 32, 52);
KZ_VST_CHECK(AEffect, flags, 36, 56);
KZ_VST_CHECK(AEffect, resvd1, 40, 64);
KZ_VST_CHECK(AEffect, resvd2, 44, 72);
KZ_VST_CHECK(AEffect, initialDelay, 48, 80);
KZ_VST_CHECK(AEffect, realQualities, 52, 84);
KZ_VST_CHECK(AEffect, offQualities, 56, 88);
KZ_VST_CHECK(AEffect, ioRatio, 60, 92);
KZ_VST_CHECK(AEffect, object, 64, 96);
KZ_VST_CHECK(AEffect, user, 68, 104);
KZ_VST_CHECK(AEffect, uniqueID, 72, 112);
KZ_VST_CHECK(AEffect, version, 76, 116);
KZ_VST_CHECK(AEffect, processReplacing, 80, 120);
KZ_VST_CHECK(AEffect, future, 84, 128);
static_assert(sizeof(AEffect) == (sizeof(void*) == 4 ? 144 : 192), "AEffect size");

KZ_VST_CHECK(VstEvents, numEvents, 0, 0);
KZ_VST_CHECK(VstEvents, reserved, 4, 8);
KZ_VST_CHECK(VstEvents, events, 8, 16);

KZ_VST_CHECK(VstEvent, type, 0, 0);
KZ_VST_CHECK(VstEvent, byteSize, 4, 4);
KZ_VST_CHECK(VstEvent, deltaFrames, 8, 8);
KZ_VST_CHECK(VstEvent, flags, 12, 12);
KZ_VST_CHECK(VstEvent, data, 16, 16);
static_assert(sizeof(VstEvent) == 32, "VstEvent size");

KZ_VST_CHECK(VstMidiEvent, noteLength, 16, 16);
KZ_VST_CHECK(VstMidiEvent, noteOffset, 20, 20);
KZ_VST_CHECK(VstMidiEvent, midiData, 24, 24);
KZ_VST_CHECK(VstMidiEvent, detune, 28, 28);
KZ_VST_CHECK(VstMidiEvent, noteOffVelocity, 29, 29);
KZ_VST_CHECK(VstMidiEvent, reserved1, 30, 30);
KZ_VST_CHECK(VstMidiEvent, reserved2, 31, 31);
static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent size");

KZ_VST_CHECK(VstPinProperties, label, 0, 0);
KZ_VST_CHECK(VstPinProperties, flags, 64, 64);
KZ_VST_CHECK(VstPinProperties, arrangementType, 68, 68);
KZ_VST_CHECK(VstPinProperties, shortLabel, 72, 72);
KZ_VST_CHECK(VstPinProperties, future, 80, 80);
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties size");

KZ_VST_CHECK(ERect, top, 0, 0);
KZ_VST_CHECK(ERect, left, 2, 2);
KZ_VST_CHECK(ERect, bottom, 4, 4);
KZ_VST_CHECK(ERect, right, 6, 6);
static_assert(sizeof(ERect) == 8, "ERect size");

#undef KZ_VST_CHECK
