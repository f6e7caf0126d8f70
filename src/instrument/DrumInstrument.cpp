#include "instrument/DrumInstrument.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "kit/PadSettings.h"

namespace {
const VstInt32 kUniqueId = 0x4B333138;  // 'K318'
}

DrumInstrument::DrumInstrument(audioMasterCallback audioMaster)
    : EffectBaseExt(audioMaster, 1, 80),
      pads(nullptr),
      soloCount(0),
      bankPath(nullptr),
      audioBusy(0),
      voices(nullptr),
      loading(0) {
    pads = new (std::nothrow) Pad[kNumPads];
    voices = new (std::nothrow) Voice[kNumVoices];
    setNumInputs(0);
    setNumOutputs(kNumOutputs);
    canProcessReplacing(true);
    isSynth(true);
    programsAreChunks(true);
    setUniqueID(kUniqueId);
    if (voices) std::memset(static_cast<void*>(voices), 0, sizeof(Voice) * kNumVoices);
    if (pads) {
        for (int i = 0; i < kNumPads; i++) {
            Pad& p = pads[i];
            p.samplePath = nullptr;
            p.sampleData = nullptr;
            p.sampleLength = 0;
            applyPadSettings(p, kitformat::defaultSettings(i));
        }
    }
    bankPath = static_cast<char*>(std::calloc(kPathSize, 1));
}

DrumInstrument::~DrumInstrument() {
    if (pads) {
        for (int i = 0; i < kNumPads; i++) {
            std::free(pads[i].sampleData);
            std::free(pads[i].samplePath);
        }
    }
    delete[] pads;
    delete[] voices;
    std::free(bankPath);
    std::free(lastChunk);
}

void DrumInstrument::setParameter(VstInt32, float) {}
float DrumInstrument::getParameter(VstInt32) { return 0.5f; }
void DrumInstrument::getParameterLabel(VstInt32, char* label) { std::strcpy(label, "Stuff"); }
void DrumInstrument::getParameterDisplay(VstInt32, char* text) { std::strcpy(text, "Stuff"); }
void DrumInstrument::getParameterName(VstInt32 index, char* text) { float2string(static_cast<float>(index), text); }

void DrumInstrument::resume() { wantEvents(1); }

bool DrumInstrument::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
    if (index >= kNumOutputs || index < 0) return false;
    std::snprintf(properties->label, sizeof(properties->label), (index & 1) ? "Kz3 %1dR" : "Kz3 %1dL",
                  static_cast<int>(index / 2 + 1));
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

bool DrumInstrument::getEffectName(char* text) {
    std::strcpy(text, "KZ316");
    return true;
}
bool DrumInstrument::getVendorString(char* text) {
    std::strcpy(text, "Morvantic");
    return true;
}
bool DrumInstrument::getProductString(char* text) {
    std::strcpy(text, "KZ318");
    return true;
}
VstInt32 DrumInstrument::getVendorVersion() { return 1; }

VstInt32 DrumInstrument::canDo(char* text) {
    if (!text) return 0;
    return (std::strcmp(text, "receiveVstEvents") == 0 || std::strcmp(text, "receiveVstMidiEvent") == 0) ? 1 : 0;
}

void DrumInstrument::recountSolo() {
    // Serialised, so the last count stored follows every flag set before it.
    std::lock_guard<std::mutex> lock(soloMutex);
    int32_t count = 0;
    for (int i = 0; i < kNumPads; i++)
        if (padSolo(pads[i])) count++;
    soloCount.store(count, std::memory_order_relaxed);
}

void DrumInstrument::setSolo(int padIndex, bool on) {
    if (padIndex < 0 || padIndex >= kNumPads) return;
    setPadSolo(pads[padIndex], on);
    recountSolo();
}
