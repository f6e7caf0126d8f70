// The stand-in for the audio compression manager: a decoder brings the data
// to 16-bit PCM, channels are mixed to mono by their mean and other rates
// are resampled with libsoxr at high quality.
#include <soxr.h>

#include <cstdlib>
#include <cstring>

#include "platform/Wave.h"
#include "platform/posix/Decoders.h"

namespace platform {
namespace {

// soxr is fastest when fed a few thousand frames at a time.
const size_t kChunkFrames = 4096;

struct Memory {
    void* p = nullptr;
    explicit Memory(size_t bytes) : p(std::malloc(bytes ? bytes : 1)) {}
    ~Memory() { std::free(p); }
    Memory(const Memory&) = delete;
    Memory& operator=(const Memory&) = delete;
};

// Rounds half away from zero.
int16_t toPcm16(float x) {
    x = x < -32768.0f ? -32768.0f : x > 32767.0f ? 32767.0f : x;
    return int16_t(int(x + (x < 0 ? -0.5f : 0.5f)));
}

bool usableTarget(const WaveFormat& t, int sourceChannels) {
    return t.formatTag == kFormatPcm && t.bitsPerSample == 16 && (t.channels == 1 || t.channels == sourceChannels) &&
           t.blockAlign == 2 * t.channels && t.samplesPerSec >= kMinRate && t.samplesPerSec <= kMaxRate;
}

uint64_t framesAfterResampling(size_t frames, uint32_t from, uint32_t to) {
    if (from == to) return frames;
    return (uint64_t(frames) * to + from - 1) / from + 16;
}

// Carries interleaved 16-bit frames through the mix and the resampler into
// the output buffer, never writing past its capacity. The resampler writes
// its 16-bit output there itself, rounded and clipped, without dither.
class Pipeline {
public:
    Pipeline(int sourceChannels, const WaveFormat& target, uint32_t sourceRate, int16_t* out, uint64_t capacity)
        : sourceChannels(sourceChannels),
          channels(target.channels),
          out(out),
          capacity(capacity),
          perCall(framesAfterResampling(kChunkFrames, sourceRate, target.samplesPerSec)),
          mixed(kChunkFrames * channels * sizeof(float)) {
        if (sourceRate == target.samplesPerSec) return;
        soxr_error_t error = nullptr;
        soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_INT16_I);
        io.flags |= SOXR_NO_DITHER;
        io.scale = 1.0 / 32768;  // the samples are in 16-bit units, the output's full scale is 1
        soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
        resampler = soxr_create(sourceRate, target.samplesPerSec, channels, &error, &io, &quality, &runtime);
        if (error) failed = true;
    }
    ~Pipeline() {
        if (resampler) soxr_delete(resampler);
    }
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    bool ready() const { return !failed && mixed.p; }

    void push(const int16_t* frames, size_t count) {
        float* in = static_cast<float*>(mixed.p);
        if (channels == 1 && sourceChannels == 2) {
            for (size_t i = 0; i < count; i++) in[i] = float(frames[2 * i] + frames[2 * i + 1]) * 0.5f;
        } else if (channels == 1 && sourceChannels > 1) {
            for (size_t i = 0; i < count; i++) {
                int sum = 0;
                for (int c = 0; c < sourceChannels; c++) sum += frames[i * sourceChannels + c];
                in[i] = float(sum) / float(sourceChannels);
            }
        } else {
            for (size_t i = 0; i < count * channels; i++) in[i] = frames[i];
        }
        if (!resampler) {
            size_t n = count < capacity - written ? count : size_t(capacity - written);
            for (size_t i = 0; i < n * channels; i++) out[written * channels + i] = toPcm16(in[i]);
            written += n;
            return;
        }
        for (size_t used = 0; used < count && !failed;) {
            size_t took = 0, made = resample(in + used * channels, count - used, &took);
            used += took;
            if (!took && !made) break;  // the output is full
        }
    }

    // Drains the resampler; false when anything failed on the way.
    bool finish() {
        while (resampler && !failed && resample(nullptr, 0, nullptr)) {}
        return !failed;
    }

    uint64_t frames() const { return written; }

private:
    size_t resample(const float* in, size_t count, size_t* took) {
        size_t made = 0, room = capacity - written < perCall ? size_t(capacity - written) : perCall;
        failed = soxr_process(resampler, in, count, took, out + written * channels, room, &made) != nullptr;
        written += made;
        return made;
    }

    int sourceChannels, channels;
    int16_t* out;
    uint64_t capacity, written = 0;  // frames
    size_t perCall;                  // output frames asked of the resampler at once: it is slow with much more
    Memory mixed;
    soxr_t resampler = nullptr;
    bool failed = false;
};

bool convert(const Decoder& decoder, const WaveFormat& target, const uint8_t* data, uint32_t bytes, size_t frames,
             int16_t* out, uint64_t capacity, uint64_t* produced) {
    size_t c = decoder.channels();
    if (c == target.channels && decoder.rate() == target.samplesPerSec) {
        decoder.decode(data, bytes, out);
        *produced = frames;
        return true;
    }
    // 16-bit sources are read in place, chunk by chunk; others decoded first.
    Memory decoded(decoder.isPcm16() ? kChunkFrames * c * 2 : frames * c * 2);
    Pipeline pipeline(int(c), target, decoder.rate(), out, capacity);
    if (!decoded.p || !pipeline.ready()) return false;
    int16_t* pcm = static_cast<int16_t*>(decoded.p);
    if (!decoder.isPcm16()) decoder.decode(data, bytes, pcm);
    for (size_t at = 0; at < frames; at += kChunkFrames) {
        size_t count = frames - at < kChunkFrames ? frames - at : kChunkFrames;
        if (decoder.isPcm16()) std::memcpy(pcm, data + at * c * 2, count * c * 2);
        pipeline.push(decoder.isPcm16() ? pcm : pcm + at * c, count);
    }
    if (!pipeline.finish()) return false;
    *produced = pipeline.frames();
    return true;
}

}  // namespace

bool suggestPcm(const void* sourceFormat, WaveFormat* pcm) {
    Decoder decoder;
    if (!decoder.open(sourceFormat) || pcm->formatTag != kFormatPcm) return false;
    pcm->channels = uint16_t(decoder.channels());
    pcm->samplesPerSec = decoder.rate();
    pcm->bitsPerSample = 16;
    pcm->blockAlign = uint16_t(2 * decoder.channels());
    pcm->avgBytesPerSec = pcm->samplesPerSec * pcm->blockAlign;
    pcm->extraSize = 0;
    return true;
}

StageStep convertStage(const void* sourceFormat, const WaveFormat& target, const void* data, uint32_t bytes,
                       uint8_t** out, uint32_t* outBytes) {
    Decoder decoder;
    if (!decoder.open(sourceFormat) || !usableTarget(target, decoder.channels())) return kStageOpen;
    size_t frames = decoder.decodedFrames(bytes);
    uint64_t capacity = framesAfterResampling(frames, decoder.rate(), target.samplesPerSec);
    if (frames == 0 || capacity * target.blockAlign > INT32_MAX) return kStageSize;
    int16_t* buffer = static_cast<int16_t*>(std::malloc(size_t(capacity * target.blockAlign)));
    if (!buffer) return kStagePrepare;
    uint64_t produced = 0;
    if (!convert(decoder, target, static_cast<const uint8_t*>(data), bytes, frames, buffer, capacity, &produced)) {
        std::free(buffer);
        return kStageConvert;
    }
    *out = reinterpret_cast<uint8_t*>(buffer);
    *outBytes = uint32_t(produced * target.blockAlign);
    return kStageOk;
}

}  // namespace platform
