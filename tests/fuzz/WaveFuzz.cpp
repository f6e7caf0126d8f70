// Feeds arbitrary files to the WAV reader and its decoders.
#include <cstdlib>

#include "files/Wave.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = fuzz::scratchFile(data, size, "input.wav");
    float* samples = nullptr;
    uint32_t length = 0;
    if (readWaveFile(path.c_str(), &samples, &length) == kWaveOk) {
        // Touch every sample so a short buffer shows up as an overflow.
        volatile float sum = 0.0f;
        for (uint32_t i = 0; i < length; i++) sum = sum + samples[i];
        std::free(samples);
    }
    return 0;
}
