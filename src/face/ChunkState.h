// The kit as every face saves it: the bytes effGetChunk gives. A state is
// checked before it reaches effSetChunk, because a bad chunk makes the
// instrument show a message box, which must never happen on a host's
// state thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vst/aeffect.h"

namespace face {

// The chunk as the instrument gives it; false (out empty) when it gives none.
// [host]
bool saveChunk(AEffect* effect, std::vector<uint8_t>& out);
// Whole chunk with the right size and magic.
bool isChunk(const uint8_t* data, size_t size);
// Restores a chunk through effSetChunk; false, with nothing changed, unless
// isChunk holds. [host]
bool restoreChunk(AEffect* effect, const uint8_t* data, size_t size);

// Reads a host's stream to its end: `read(buffer, count)` gives the bytes it
// read (0 at the end, below 0 on an error) and may give fewer than asked.
// False on an error or when more than `limit` bytes come.
template <class Read>
bool readWholeStream(Read read, std::vector<uint8_t>& out, size_t limit) {
    out.clear();
    uint8_t buffer[1024];
    for (;;) {
        const long long got = read(buffer, static_cast<long long>(sizeof buffer));
        if (got < 0 || got > static_cast<long long>(sizeof buffer)) return false;
        if (got == 0) return true;
        if (out.size() + static_cast<size_t>(got) > limit) return false;
        out.insert(out.end(), buffer, buffer + got);
    }
}

// Writes all of `data` to a host's stream: `write(bytes, count)` gives the
// bytes it took (below 1 on an error) and may take fewer than offered.
template <class Write>
bool writeWholeStream(Write write, const std::vector<uint8_t>& data) {
    size_t written = 0;
    while (written < data.size()) {
        const long long left = static_cast<long long>(data.size() - written);
        const long long n = write(data.data() + written, left);
        if (n <= 0 || n > left) return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace face
