#include <cstring>

#include "instrument/DrumInstrument.h"

void DrumInstrument::process(float**, float**, VstInt32) {}

void DrumInstrument::processReplacing(float**, float** outputs, VstInt32 sampleFrames) {
    if (!outputs || sampleFrames <= 0) return;
    for (int i = 0; i < kNumOutputs; i++)
        if (outputs[i]) std::memset(outputs[i], 0, sizeof(float) * static_cast<size_t>(sampleFrames));
}

void DrumInstrument::renderVoices(float**, VstInt32) {}
