#include <cstring>

#include "instrument/DrumInstrument.h"
#include "instrument/RenderPath.h"

// The replacing form clears the host's buffers even while a load holds the
// voices back: the host gets silence, never what its buffers held before.
void DrumInstrument::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept {
    if (outputs && sampleFrames > 0) {
        for (int i = 0; i < kNumOutputs; i++)
            if (outputs[i]) std::memset(outputs[i], 0, sizeof(float) * static_cast<size_t>(sampleFrames));
    }
    DrumInstrument::process(inputs, outputs, sampleFrames);
}

void DrumInstrument::process(float**, float** outputs, VstInt32 sampleFrames) noexcept {
    audioBusy.store(1);
    if (!loading.load() && outputs && sampleFrames > 0) renderVoices(outputs, sampleFrames);
    audioBusy.store(0);
}

void DrumInstrument::renderVoices(float** outputs, VstInt32 sampleFrames) noexcept {
    renderVoiceTable(voices, outputs, sampleFrames);
}
