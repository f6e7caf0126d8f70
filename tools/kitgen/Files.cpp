#include "Files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kitgen {

namespace {

void put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; i++) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void tag(std::vector<std::uint8_t>& out, const char* fourCC) {
    for (int i = 0; i < 4; i++) out.push_back(static_cast<std::uint8_t>(fourCC[i]));
}

}  // namespace

std::vector<std::uint8_t> encodeWav(const std::vector<double>& samples) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    tag(out, "RIFF");
    put(out, 36 + dataBytes, 4);
    tag(out, "WAVE");
    tag(out, "fmt ");
    put(out, 16, 4);
    put(out, 1, 2);  // PCM
    put(out, 1, 2);  // mono
    put(out, 44100, 4);
    put(out, 44100 * 2, 4);  // bytes per second
    put(out, 2, 2);          // block align
    put(out, 16, 2);
    tag(out, "data");
    put(out, dataBytes, 4);
    for (double s : samples) {
        long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        put(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)) & 0xFFFF, 2);
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace kitgen
