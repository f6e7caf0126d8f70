#include "render/WavOut.h"

#include <sys/stat.h>

#include <cstring>

namespace wavout {
namespace {

// Flushed to the file in pieces of this many floats.
const size_t kBufferFloats = 1 << 18;

// Little-endian fields into a fixed header.
class Fields {
public:
    explicit Fields(uint8_t* p) : p(p) {}
    void u16(uint16_t v) {
        *p++ = static_cast<uint8_t>(v);
        *p++ = static_cast<uint8_t>(v >> 8);
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void tag(const char* t) {
        std::memcpy(p, t, 4);
        p += 4;
    }

private:
    uint8_t* p;
};

bool isPlainFile(std::FILE* f) {
    struct stat st;
    return fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

Header header(uint64_t frameCount, int sampleRate) {
    // The fields are 32 bits wide; longer renders wrap, as they always have.
    const uint32_t frames = static_cast<uint32_t>(frameCount);
    const uint32_t dataBytes = frames * 8;
    Header h;
    Fields f(h.data());
    f.tag("RIFF");
    f.u32(4 + (8 + 18) + (8 + 4) + (8 + dataBytes));
    f.tag("WAVE");
    f.tag("fmt ");
    f.u32(18);
    f.u16(3);  // IEEE float
    f.u16(2);
    f.u32(static_cast<uint32_t>(sampleRate));
    f.u32(static_cast<uint32_t>(sampleRate) * 8);
    f.u16(8);
    f.u16(32);
    f.u16(0);
    f.tag("fact");
    f.u32(4);
    f.u32(frames);
    f.tag("data");
    f.u32(dataBytes);
    return h;
}

bool StereoFloatWriter::open(const std::string& path, int sampleRate) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    path_ = path;
    rate_ = sampleRate;
    plain_ = isPlainFile(file_);
    seekable_ = std::fseek(file_, 0, SEEK_CUR) == 0;
    buffer_.resize(kBufferFloats);
    if (seekable_) {
        Header h = header(0, rate_);
        ok_ = std::fwrite(h.data(), 1, h.size(), file_) == h.size();
    }
    return ok_;
}

float* StereoFloatWriter::reserve(size_t frames) {
    if (buffer_.size() - used_ < 2 * frames) {
        flush();
        if (buffer_.size() < 2 * frames) buffer_.resize(2 * frames);
    }
    return buffer_.data() + used_;
}

bool StereoFloatWriter::commit(size_t frames) {
    used_ += 2 * frames;
    frames_ += frames;
    return ok_;
}

bool StereoFloatWriter::flush() {
    // Sample bytes are little-endian on every platform this runs on.
    static_assert(sizeof(float) == 4, "32-bit floats");
    if (ok_ && used_ > 0) {
        if (seekable_) {
            ok_ = std::fwrite(buffer_.data(), sizeof(float), used_, file_) == used_;
        } else {
            const uint8_t* p = reinterpret_cast<const uint8_t*>(buffer_.data());
            unseekable_.insert(unseekable_.end(), p, p + used_ * sizeof(float));
        }
    }
    used_ = 0;
    return ok_;
}

bool StereoFloatWriter::finish() {
    if (!file_) return false;
    flush();
    Header h = header(frames_, rate_);
    if (ok_ && seekable_) ok_ = std::fseek(file_, 0, SEEK_SET) == 0;
    if (ok_) ok_ = std::fwrite(h.data(), 1, h.size(), file_) == h.size();
    if (ok_ && !unseekable_.empty())
        ok_ = std::fwrite(unseekable_.data(), 1, unseekable_.size(), file_) == unseekable_.size();
    ok_ = (std::fclose(file_) == 0) && ok_;
    file_ = nullptr;
    finished_ = ok_;
    return ok_;
}

void StereoFloatWriter::discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (plain_ && !path_.empty()) std::remove(path_.c_str());
    path_.clear();
    finished_ = false;
}

}  // namespace wavout
