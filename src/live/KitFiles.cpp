#include "live/KitFiles.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "face/ChunkState.h"
#include "formats/KitFormats.h"
#include "platform/Platform.h"

namespace live {

bool readFile(const std::string& path, std::vector<uint8_t>& out, size_t limit) {
    uint64_t size = 0;
    std::FILE* f = platform::openRegularFile(path.c_str(), &size);
    if (!f) return false;
    bool ok = size <= limit;
    if (ok) {
        out.resize(size_t(size));
        ok = std::fread(out.data(), 1, out.size(), f) == out.size();
    }
    std::fclose(f);
    return ok;
}

bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& data) {
    std::error_code ignored;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
    std::vector<char> temporary(path.size() + 64);
    std::FILE* f = platform::createFileBeside(path.c_str(), temporary.data(), temporary.size());
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok && platform::replaceFile(temporary.data(), path.c_str())) return true;
    std::remove(temporary.data());
    return false;
}

std::string rememberedKitPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/kz318/live.chunk";
    const char* home = std::getenv("HOME");
    if (home && home[0]) return std::string(home) + "/.config/kz318/live.chunk";
    return std::string();
}

namespace {

std::string absolute(const std::string& file) {
    char buffer[PATH_MAX];
    if (realpath(file.c_str(), buffer)) return buffer;
    std::error_code ignored;
    return std::filesystem::absolute(file, ignored).string();
}

// No bank to take: the pads keep what they hold and their settings.
void keepPads(kitformat::Chunk& chunk) {
    for (kitformat::ChunkPad& pad : chunk.pads)
        if (pad.path[0]) pad.path[0] = kitformat::kBankMark;
}

}  // namespace

bool importBank(AEffect* effect, const std::string& file, std::string& error) {
    std::vector<uint8_t> current;
    kitformat::Chunk chunk = kitformat::defaultChunk();
    if (face::saveChunk(effect, current) && !kitformat::decodeChunk(current.data(), current.size(), chunk))
        return (error = "the instrument gave no settings chunk"), false;
    const std::string path = absolute(file);
    if (path.size() >= kitformat::kPathField) return (error = "kit path longer than 259 characters: " + file), false;
    std::memset(chunk.bankPath, 0, sizeof chunk.bankPath);
    std::memcpy(chunk.bankPath, path.data(), path.size());
    kitformat::Bank bank;
    if (kitformat::readBank(path.c_str(), bank) == kitformat::BankRead::ok)
        kitformat::takeBankPads(bank, chunk);
    else
        keepPads(chunk);
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(chunk, bytes.data());
    face::restoreChunk(effect, bytes.data(), bytes.size());
    return true;
}

std::string describeKit(const std::vector<uint8_t>& bytes) {
    kitformat::Chunk chunk;
    if (!kitformat::decodeChunk(bytes.data(), bytes.size(), chunk)) return "empty kit";
    if (chunk.bankPath[0]) return "kit " + std::filesystem::path(chunk.bankPath).filename().string();
    int filled = 0;
    for (const kitformat::ChunkPad& pad : chunk.pads) filled += pad.path[0] ? 1 : 0;
    if (filled == 0) return "empty kit";
    return "kit of " + std::to_string(filled) + (filled == 1 ? " sample" : " samples");
}

}  // namespace live
