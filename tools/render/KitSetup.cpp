#include "render/KitSetup.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace render {
namespace {

bool readFile(const std::string& path, std::vector<uint8_t>& data) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), f)) > 0) data.insert(data.end(), buffer, buffer + got);
    std::fclose(f);
    return true;
}

bool setPath(char* field, const std::string& path, std::string& error) {
    if (path.size() >= kitformat::kPathField) return (error = "path longer than 259 characters: " + path), false;
    std::memset(field, 0, kitformat::kPathField);
    std::memcpy(field, path.data(), path.size());
    return true;
}

bool unit(const std::string& key, const std::string& text, float& out, std::string& error) {
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || v < 0.0 || v > 1.0) return (error = key + " needs a value from 0 to 1"), false;
    out = static_cast<float>(v);
    return true;
}

bool whole(const std::string& key, const std::string& text, long lo, long hi, int32_t& out, std::string& error) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < lo || v > hi)
        return (error = key + " needs a whole number from " + std::to_string(lo) + " to " + std::to_string(hi)), false;
    out = static_cast<int32_t>(v);
    return true;
}

bool applySetting(const std::string& key, const std::string& value, kitformat::PadSettings& s, std::string& error) {
    if (key == "note") return whole(key, value, 0, 127, s.midiNote, error);
    if (key == "volume") return unit(key, value, s.volume, error);
    if (key == "pan") return unit(key, value, s.pan, error);
    if (key == "pitch") return unit(key, value, s.pitch, error);
    if (key == "pitch-decay") return unit(key, value, s.pitchDecay, error);
    if (key == "amp-decay") return unit(key, value, s.ampDecay, error);
    if (key == "choke") return whole(key, value, 0, 2, s.choke, error);
    if (key == "output") {
        if (!whole(key, value, 1, 4, s.output, error)) return false;
        s.output -= 1;
        return true;
    }
    if (key == "mute" || key == "solo") {
        if (!value.empty() && value != "0" && value != "1") return (error = key + " takes no value, or 0 or 1"), false;
        (key == "mute" ? s.mute : s.solo) = value != "0";
        return true;
    }
    return (error = "unknown pad setting " + key), false;
}

// The kit's bank goes into the chunk by name; every pad the bank fills is
// marked as the bank's (kitformat::kBankMark) so the plug-in keeps the bank's sample.
bool applyKit(const std::string& kit, kitformat::Chunk& chunk, std::string& error) {
    std::string full;
    if (!absolutePath(kit, full)) return (error = "cannot open kit " + kit), false;
    kitformat::Bank bank;
    switch (kitformat::readBank(full.c_str(), bank)) {
        case kitformat::BankRead::ok: break;
        case kitformat::BankRead::cannotOpen: return (error = "cannot open kit " + kit), false;
        default: return (error = kit + " is not a valid bank file"), false;
    }
    if (!setPath(chunk.bankPath, full, error)) return false;
    kitformat::takeBankPads(bank, chunk);
    return true;
}

}  // namespace

bool absolutePath(const std::string& path, std::string& out) {
#if defined(_WIN32)
    char buffer[4096];
    if (!_fullpath(buffer, path.c_str(), sizeof(buffer))) return false;
#else
    char buffer[PATH_MAX];
    if (!realpath(path.c_str(), buffer)) return false;
#endif
    std::FILE* f = std::fopen(buffer, "rb");
    if (!f) return false;
    std::fclose(f);
    out = buffer;
    return true;
}

bool buildChunk(const Options& o, const std::string& defaultKit, kitformat::Chunk& chunk, std::string& error) {
    chunk = kitformat::defaultChunk();
    if (!o.chunkIn.empty()) {
        std::vector<uint8_t> data;
        if (!readFile(o.chunkIn, data)) return (error = "cannot open chunk " + o.chunkIn), false;
        if (!kitformat::decodeChunk(data.data(), data.size(), chunk))
            return (error = o.chunkIn + " is not a KZ318 settings chunk"), false;
    }
    std::string kit = o.kit;
    if (kit.empty() && o.chunkIn.empty() && o.pads.empty()) kit = defaultKit;
    if (!kit.empty() && !applyKit(kit, chunk, error)) return false;
    for (const PadOption& p : o.pads) {
        kitformat::ChunkPad& pad = chunk.pads[p.pad];
        if (!p.file.empty()) {
            std::string full;
            if (!absolutePath(p.file, full)) return (error = "cannot open sample " + p.file), false;
            if (!setPath(pad.path, full, error)) return false;
        }
        for (const auto& kv : p.settings)
            if (!applySetting(kv.first, kv.second, pad.settings, error)) {
                error = "pad " + std::to_string(p.pad + 1) + ": " + error;
                return false;
            }
    }
    return true;
}

}  // namespace render
