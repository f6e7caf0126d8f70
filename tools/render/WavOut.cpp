#include "render/WavOut.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace wavout {
namespace {

void put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, static_cast<uint16_t>(v));
    put16(b, static_cast<uint16_t>(v >> 16));
}
void tag(std::vector<uint8_t>& b, const char* t) { b.insert(b.end(), t, t + 4); }

}  // namespace

bool writeStereoFloat(const std::string& path, const std::vector<float>& interleaved, int sampleRate) {
    const uint32_t frames = static_cast<uint32_t>(interleaved.size() / 2);
    const uint32_t dataBytes = frames * 8;
    std::vector<uint8_t> h;
    tag(h, "RIFF");
    put32(h, 4 + (8 + 18) + (8 + 4) + (8 + dataBytes));
    tag(h, "WAVE");
    tag(h, "fmt ");
    put32(h, 18);
    put16(h, 3);  // IEEE float
    put16(h, 2);
    put32(h, static_cast<uint32_t>(sampleRate));
    put32(h, static_cast<uint32_t>(sampleRate) * 8);
    put16(h, 8);
    put16(h, 32);
    put16(h, 0);
    tag(h, "fact");
    put32(h, 4);
    put32(h, frames);
    tag(h, "data");
    put32(h, dataBytes);

    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(h.data(), 1, h.size(), f) == h.size();
    // Sample bytes are little-endian on every platform this runs on.
    static_assert(sizeof(float) == 4, "32-bit floats");
    if (ok && !interleaved.empty())
        ok = std::fwrite(interleaved.data(), sizeof(float), interleaved.size(), f) == interleaved.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

}  // namespace wavout
