// Decoders for the WAV encodings that the Windows audio converters take:
// 8 and 16-bit PCM, A-law, mu-law, IMA ADPCM and Microsoft ADPCM, each to
// interleaved 16-bit PCM with the source's channels and rate.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Wave.h"

namespace platform {

// Lowest and highest rates the converter takes.
const uint32_t kMinRate = 1000;
const uint32_t kMaxRate = 768000;

// How one format's data decodes; frames == 0 from decodedFrames means the
// format or its data is not usable.
class Decoder {
public:
    // Reads the format record (with its extra bytes). False when no decoder
    // takes it.
    bool open(const void* format);
    int channels() const { return format.channels; }
    uint32_t rate() const { return format.samplesPerSec; }
    bool isPcm16() const { return format.formatTag == kFormatPcm && format.bitsPerSample == 16; }
    // Frames that bytes of data decode to.
    size_t decodedFrames(uint32_t bytes) const;
    // Decodes bytes of data into out, which holds decodedFrames(bytes) frames.
    void decode(const uint8_t* data, uint32_t bytes, int16_t* out) const;

private:
    size_t blockFrames(size_t blockBytes) const;
    void decodeImaBlock(const uint8_t* block, size_t frames, int16_t* out) const;
    void decodeMsBlock(const uint8_t* block, size_t frames, int16_t* out) const;

    WaveFormat format{};
    size_t headerBytes = 0;      // per block, all channels (ADPCM)
    size_t samplesPerBlock = 0;  // frames per whole block (ADPCM)
    int numCoefs = 0;            // Microsoft ADPCM
    int16_t coefs[2 * 256] = {};
};

}  // namespace platform
