#include "platform/posix/Decoders.h"

#include <cstring>

namespace platform {
namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "16-bit PCM is copied as it lies in the file");

int16_t le16(const uint8_t* p) { return int16_t(uint16_t(p[0] | p[1] << 8)); }

int16_t clamp16(int64_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

int16_t alawToLinear(uint8_t a) {
    a ^= 0x55;
    int t = (a & 0x0F) << 4;
    int segment = (a & 0x70) >> 4;
    if (segment == 0)
        t += 8;
    else
        t = (t + 0x108) << (segment - 1);
    return int16_t((a & 0x80) ? t : -t);
}

int16_t mulawToLinear(uint8_t u) {
    u = uint8_t(~u);
    int t = (((u & 0x0F) << 3) + 0x84) << ((u & 0x70) >> 4);
    return int16_t((u & 0x80) ? 0x84 - t : t - 0x84);
}

const int kImaIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
const int kImaStep[89] = {7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
                          25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
                          88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
                          307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
                          1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
                          3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
                          12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

const int kMsAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

}  // namespace

bool Decoder::open(const void* source) {
    std::memcpy(&format, source, sizeof format);
    headerBytes = samplesPerBlock = 0;
    numCoefs = 0;
    const uint8_t* extra = static_cast<const uint8_t*>(source) + sizeof format;
    size_t c = format.channels, align = format.blockAlign;
    if (c == 0 || format.samplesPerSec < kMinRate || format.samplesPerSec > kMaxRate) return false;
    switch (format.formatTag) {
        case kFormatPcm:
            return (format.bitsPerSample == 8 || format.bitsPerSample == 16) && align == c * format.bitsPerSample / 8;
        case kFormatALaw:
        case kFormatMuLaw: return format.bitsPerSample == 8 && align == c;
        case kFormatImaAdpcm:
            if (format.bitsPerSample != 4 || align <= 4 * c || align % (4 * c) != 0) return false;
            headerBytes = 4 * c;
            samplesPerBlock = (align - headerBytes) * 2 / c + 1;
            return true;
        case kFormatMsAdpcm: {
            if (format.bitsPerSample != 4 || format.extraSize < 4 || align < 7 * c) return false;
            numCoefs = le16(extra + 2) & 0xFFFF;
            if (numCoefs < 1 || numCoefs > 256 || format.extraSize < 4 + 4 * numCoefs) return false;
            for (int i = 0; i < 2 * numCoefs; i++) coefs[i] = le16(extra + 4 + 2 * i);
            headerBytes = 7 * c;
            size_t most = 2 + (align - headerBytes) * 2 / c;
            size_t declared = uint16_t(le16(extra));
            samplesPerBlock = declared >= 2 && declared <= most ? declared : most;
            return true;
        }
        default: return false;
    }
}

size_t Decoder::blockFrames(size_t bytes) const {
    size_t c = format.channels;
    if (bytes < headerBytes) return 0;
    size_t frames = format.formatTag == kFormatImaAdpcm ? 1 + (bytes - headerBytes) / (4 * c) * 8
                                                        : 2 + (bytes - headerBytes) * 2 / c;
    return frames < samplesPerBlock ? frames : samplesPerBlock;
}

size_t Decoder::decodedFrames(uint32_t bytes) const {
    if (!headerBytes) return bytes / format.blockAlign;
    return bytes / format.blockAlign * samplesPerBlock + blockFrames(bytes % format.blockAlign);
}

void Decoder::decode(const uint8_t* data, uint32_t bytes, int16_t* out) const {
    size_t c = format.channels, samples = decodedFrames(bytes) * c;
    if (headerBytes) {
        for (size_t at = 0; at < bytes; at += format.blockAlign) {
            size_t frames = blockFrames(bytes - at < format.blockAlign ? bytes - at : format.blockAlign);
            if (format.formatTag == kFormatImaAdpcm)
                decodeImaBlock(data + at, frames, out);
            else
                decodeMsBlock(data + at, frames, out);
            out += frames * c;
        }
        return;
    }
    switch (format.formatTag) {
        case kFormatPcm:
            if (format.bitsPerSample == 16) {
                std::memcpy(out, data, samples * 2);
            } else {
                for (size_t i = 0; i < samples; i++) out[i] = int16_t((data[i] - 128) * 256);
            }
            break;
        case kFormatALaw:
            for (size_t i = 0; i < samples; i++) out[i] = alawToLinear(data[i]);
            break;
        case kFormatMuLaw:
            for (size_t i = 0; i < samples; i++) out[i] = mulawToLinear(data[i]);
            break;
    }
}

// Each channel opens the block with its first sample and step index; then
// every channel in turn has four bytes, eight samples low nibble first.
void Decoder::decodeImaBlock(const uint8_t* block, size_t frames, int16_t* out) const {
    size_t c = format.channels;
    if (!frames) return;
    for (size_t ch = 0; ch < c; ch++) {
        int predictor = le16(block + 4 * ch);
        int index = block[4 * ch + 2] > 88 ? 88 : block[4 * ch + 2];
        out[ch] = int16_t(predictor);
        for (size_t frame = 1; frame < frames; frame++) {
            size_t group = (frame - 1) / 8, k = (frame - 1) % 8;
            uint8_t byte = block[headerBytes + (group * c + ch) * 4 + k / 2];
            int nibble = (k & 1) ? byte >> 4 : byte & 0x0F;
            int step = kImaStep[index];
            int diff = step >> 3;
            if (nibble & 4) diff += step;
            if (nibble & 2) diff += step >> 1;
            if (nibble & 1) diff += step >> 2;
            predictor = clamp16(predictor + ((nibble & 8) ? -diff : diff));
            index += kImaIndex[nibble];
            index = index < 0 ? 0 : index > 88 ? 88 : index;
            out[frame * c + ch] = int16_t(predictor);
        }
    }
}

// A block header holds per channel the predictor, the step and the first two
// samples (the older one is played first); then nibbles, high one first,
// channel after channel.
void Decoder::decodeMsBlock(const uint8_t* block, size_t frames, int16_t* out) const {
    size_t c = format.channels;
    for (size_t ch = 0; ch < c && frames; ch++) {
        int predictor = block[ch] < numCoefs ? block[ch] : 0;
        int64_t coef1 = coefs[2 * predictor], coef2 = coefs[2 * predictor + 1];
        int64_t delta = le16(block + c + 2 * ch);
        int64_t sample1 = le16(block + 3 * c + 2 * ch), sample2 = le16(block + 5 * c + 2 * ch);
        out[ch] = int16_t(sample2);
        if (frames > 1) out[c + ch] = int16_t(sample1);
        for (size_t frame = 2; frame < frames; frame++) {
            size_t n = (frame - 2) * c + ch;
            uint8_t byte = block[headerBytes + n / 2];
            int nibble = (n & 1) ? byte & 0x0F : byte >> 4;
            int64_t prediction = (sample1 * coef1 + sample2 * coef2) >> 8;
            int64_t sample = clamp16(prediction + (nibble >= 8 ? nibble - 16 : nibble) * delta);
            delta = kMsAdapt[nibble] * delta >> 8;
            delta = delta < 16 ? 16 : delta > (1 << 26) ? (1 << 26) : delta;
            sample2 = sample1;
            sample1 = sample;
            out[frame * c + ch] = int16_t(sample);
        }
    }
}

}  // namespace platform
