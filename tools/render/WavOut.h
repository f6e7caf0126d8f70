// Writes 32-bit float stereo WAV files as they are rendered.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace wavout {

// The header of a file holding `frames` frames.
using Header = std::array<uint8_t, 58>;
Header header(uint64_t frames, int sampleRate);

// Frames go straight to the file; finish() fills in the sizes. Where the
// file cannot seek back (a pipe), the frames are kept until finish().
class StereoFloatWriter {
public:
    StereoFloatWriter() = default;
    StereoFloatWriter(const StereoFloatWriter&) = delete;
    StereoFloatWriter& operator=(const StereoFloatWriter&) = delete;
    ~StereoFloatWriter() {
        if (!finished_) discard();
    }

    bool open(const std::string& path, int sampleRate);
    // Room for `frames` interleaved frames, to fill before the next call.
    float* reserve(size_t frames);
    // The frames filled since reserve(); false once anything failed.
    bool commit(size_t frames);
    // Completes the header and closes; false if any write failed.
    bool finish();
    // Closes and deletes the file, also a finished one, unless it is not a
    // plain file (a device or a pipe).
    void discard();

private:
    bool flush();

    std::FILE* file_ = nullptr;
    std::string path_;
    int rate_ = 0;
    bool plain_ = false;  // a regular file, safe to delete on failure
    bool seekable_ = false;
    bool ok_ = true;
    bool finished_ = false;
    uint64_t frames_ = 0;
    std::vector<float> buffer_;
    size_t used_ = 0;                  // floats of buffer_ not yet written
    std::vector<uint8_t> unseekable_;  // everything after the header, for a pipe
};

}  // namespace wavout
