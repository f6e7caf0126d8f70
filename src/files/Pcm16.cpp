#include "files/Pcm16.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

using platform::WaveFormat;

namespace {

enum class Sample { kUnsigned8, kSigned, kFloat };

struct Layout {
    Sample kind;
    unsigned bytes;  // container size of one sample
};

// The GUID of a PCM or float subformat after its two-byte format tag.
const uint8_t kSubformatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
const unsigned kSubformatOffset = 24;
const unsigned kExtensibleExtra = 22;

Narrowing layoutOf(const WaveFormat& f, const uint8_t* record, Layout* layout) {
    unsigned bits = f.bitsPerSample;
    uint16_t tag = f.formatTag;
    bool extensible = tag == platform::kFormatExtensible;
    if (extensible) {
        if (f.extraSize < kExtensibleExtra) return Narrowing::kNotNeeded;
        const uint8_t* guid = record + kSubformatOffset;
        if (std::memcmp(guid + 2, kSubformatTail, sizeof kSubformatTail) != 0) return Narrowing::kNotNeeded;
        tag = uint16_t(guid[0] | guid[1] << 8);
    }
    if (tag == platform::kFormatFloat) {
        if (bits != 32 && bits != 64) return Narrowing::kUnusable;
        *layout = {Sample::kFloat, bits / 8};
    } else if (tag == platform::kFormatPcm && (extensible || bits > 16)) {
        // Extensible formats give the container size here, valid bits apart.
        if (bits == 0 || bits % 8 != 0 || bits > 32) return Narrowing::kUnusable;
        *layout = {bits == 8 ? Sample::kUnsigned8 : Sample::kSigned, bits / 8};
    } else {
        return Narrowing::kNotNeeded;
    }
    if (f.channels == 0 || f.blockAlign != f.channels * layout->bytes) return Narrowing::kUnusable;
    return Narrowing::kDone;
}

int16_t clamp16(int64_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

int16_t fromFloat(double x) {
    if (std::isnan(x)) return 0;
    return clamp16(int64_t(std::floor(std::fmax(std::fmin(x * 32768.0, 40000.0), -40000.0) + 0.5)));
}

template <typename T>
T load(const uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Signed integers of any container size, read left-aligned so that all share
// one scale, rounded to the nearest 16-bit value.
template <unsigned Bytes>
int16_t fromSigned(const uint8_t* p) {
    uint32_t u = 0;
    for (unsigned i = 0; i < Bytes; i++) u |= uint32_t(p[i]) << (8 * (4 - Bytes + i));
    return clamp16((int64_t(int32_t(u)) + 32768) >> 16);
}

template <typename Convert>
void narrowAll(const uint8_t* in, size_t samples, unsigned bytes, int16_t* out, Convert convert) {
    for (size_t i = 0; i < samples; i++) out[i] = convert(in + i * bytes);
}

void narrow(const uint8_t* in, size_t samples, const Layout& layout, int16_t* out) {
    switch (layout.kind) {
        case Sample::kUnsigned8:
            return narrowAll(in, samples, 1, out, [](const uint8_t* p) { return int16_t((p[0] - 128) * 256); });
        case Sample::kFloat:
            if (layout.bytes == 4)
                return narrowAll(in, samples, 4, out, [](const uint8_t* p) { return fromFloat(load<float>(p)); });
            return narrowAll(in, samples, 8, out, [](const uint8_t* p) { return fromFloat(load<double>(p)); });
        case Sample::kSigned:
            if (layout.bytes == 2) return narrowAll(in, samples, 2, out, fromSigned<2>);
            if (layout.bytes == 3) return narrowAll(in, samples, 3, out, fromSigned<3>);
            return narrowAll(in, samples, 4, out, fromSigned<4>);
    }
}

}  // namespace

Narrowing narrowToPcm16(const void* format, const void* data, uint32_t bytes, Pcm16* out) {
    WaveFormat f;
    std::memcpy(&f, format, sizeof f);
    Layout layout{};
    Narrowing found = layoutOf(f, static_cast<const uint8_t*>(format), &layout);
    if (found != Narrowing::kDone) return found;
    size_t frames = bytes / f.blockAlign, samples = frames * f.channels;
    int16_t* pcm = static_cast<int16_t*>(std::malloc(samples ? samples * 2 : 1));
    if (!pcm) return Narrowing::kOutOfMemory;
    narrow(static_cast<const uint8_t*>(data), samples, layout, pcm);
    out->format = {platform::kFormatPcm,
                   f.channels,
                   f.samplesPerSec,
                   f.samplesPerSec * f.channels * 2u,
                   uint16_t(f.channels * 2),
                   16,
                   0};
    out->data = reinterpret_cast<uint8_t*>(pcm);
    out->bytes = uint32_t(samples * 2);
    return Narrowing::kDone;
}
