#include "files/Wave.h"

#include <cstdlib>
#include <cstring>

#include "files/Pcm16.h"
#include "kit/Pad.h"
#include "platform/Wave.h"

using platform::RiffChunk;
using platform::WaveFormat;

namespace {

// The converter reads a format's extra bytes as its extraSize declares them;
// they must have come from the file, so never from past the buffer either.
bool extraBytesPresent(const uint8_t* format, uint32_t size) {
    WaveFormat f;
    std::memcpy(&f, format, sizeof f);
    return size < sizeof f || f.formatTag == platform::kFormatPcm || sizeof f + f.extraSize <= size;
}

int readChunks(platform::RiffFile* file, uint8_t* format, uint8_t** data, uint32_t* dataSize) {
    RiffChunk riff{}, fmt{}, chunk{};
    if (!platform::riffFindForm(file, platform::fourCC("WAVE"), &riff)) return kWaveNoRiff;
    if (!platform::riffFindChunk(file, riff, platform::fourCC("fmt "), &fmt)) return kWaveNoFormat;
    if (fmt.size > kFormatBufferSize || platform::riffRead(file, format, fmt.size) != fmt.size) return kWaveShortFormat;
    if (!extraBytesPresent(format, fmt.size)) return kWaveShortFormat;
    platform::riffAscend(file, fmt);
    if (!platform::riffFindChunk(file, riff, platform::fourCC("data"), &chunk)) return kWaveNoData;
    if (chunk.size == 0) return kWaveEmptyData;
    // A size beyond the end of the file would only be read short.
    if (chunk.size > platform::riffRemaining(file)) return kWaveShortData;
    *data = static_cast<uint8_t*>(std::malloc(chunk.size));
    if (!*data) return kWaveOutOfMemory;
    if (platform::riffRead(file, *data, chunk.size) != chunk.size) return kWaveShortData;
    *dataSize = chunk.size;
    return kWaveOk;
}

int toFloats(const uint8_t* pcm, uint32_t bytes, float** outSamples, uint32_t* outLength) {
    uint32_t n = bytes / 2;
    float* samples = static_cast<float*>(std::malloc(n ? n * sizeof(float) : sizeof(float)));
    if (!samples) return kWaveOutOfMemory;
    for (uint32_t i = 0; i < n; i++) {
        int16_t s = int16_t(uint16_t(pcm[2 * i] | pcm[2 * i + 1] << 8));
        samples[i] = float(double(s) / 32768.0);
    }
    *outSamples = samples;
    *outLength = n;
    return kWaveOk;
}

int stage(int base, const void* format, const WaveFormat& target, const void* data, uint32_t bytes, uint8_t** out,
          uint32_t* outBytes) {
    platform::StageStep step = platform::convertStage(format, target, data, bytes, out, outBytes);
    return step == platform::kStageOk ? 0 : base + step;
}

}  // namespace

static int convertReleasing(const void* sourceFormat, const void* data, uint32_t dataSize, uint8_t** pcm,
                            uint32_t* pcmBytes, uint8_t** release);

int readWaveFile(const char* fileName, float** outSamples, uint32_t* outLength) {
    uint8_t* format = static_cast<uint8_t*>(std::calloc(kFormatBufferSize, 1));
    if (!format) return kWaveOutOfMemory;
    platform::RiffFile* file = fileName ? platform::riffOpen(fileName) : nullptr;
    uint8_t* data = nullptr;
    uint32_t dataSize = 0;
    int result = file ? readChunks(file, format, &data, &dataSize) : kWaveCannotOpen;
    platform::riffClose(file);
    uint8_t* pcm = nullptr;
    uint32_t pcmBytes = 0;
    if (result == kWaveOk) result = convertReleasing(format, data, dataSize, &pcm, &pcmBytes, &data);
    std::free(data);
    std::free(format);
    if (result == kWaveOk) result = toFloats(pcm, pcmBytes, outSamples, outLength);
    std::free(pcm);
    return result;
}

int convertToMono16(const void* sourceFormat, const void* data, uint32_t dataSize, uint8_t** pcm, uint32_t* pcmBytes) {
    return convertReleasing(sourceFormat, data, dataSize, pcm, pcmBytes, nullptr);
}

// As convertToMono16; *release (the caller's copy of data, when not null) is
// freed and cleared as soon as the conversion no longer reads it, which keeps
// the peak of a long file's load low.
static int convertReleasing(const void* sourceFormat, const void* data, uint32_t dataSize, uint8_t** pcm,
                            uint32_t* pcmBytes, uint8_t** release) {
    Pcm16 narrowed{};
    switch (narrowToPcm16(sourceFormat, data, dataSize, &narrowed)) {
        case Narrowing::kNotNeeded: break;
        case Narrowing::kDone:
            sourceFormat = &narrowed.format;
            data = narrowed.data;
            dataSize = narrowed.bytes;
            if (release) {
                std::free(*release);
                *release = nullptr;
            }
            break;
        case Narrowing::kUnusable: return kConvertNoSuggestion;
        case Narrowing::kOutOfMemory: return kWaveOutOfMemory;
    }
    WaveFormat intermediate{}, target{platform::kFormatPcm, 1, kPadSampleRate, 2 * kPadSampleRate, 2, 16, 0};
    intermediate.formatTag = platform::kFormatPcm;
    uint8_t* middle = nullptr;
    uint32_t middleBytes = 0;
    int result = kConvertNoSuggestion;
    if (platform::suggestPcm(sourceFormat, &intermediate))
        result = stage(kConvertStage1, sourceFormat, intermediate, data, dataSize, &middle, &middleBytes);
    std::free(narrowed.data);
    if (release) {
        std::free(*release);
        *release = nullptr;
    }
    if (result == 0) result = stage(kConvertStage2, &intermediate, target, middle, middleBytes, pcm, pcmBytes);
    std::free(middle);
    return result;
}
