// kz318-lv2preset BANK.kbk BUNDLE NAME LABEL: a bank's kit as an LV2 preset
// of the bundle. The pads' WAV files (found beside the bank by the file
// names its pads carry) are copied to BUNDLE/NAME/, and BUNDLE/NAME.ttl
// holds the preset LABEL: the settings chunk with the bank's pad settings
// and each pad's path relative to the bundle, which the host turns into a
// full path through map-path when it restores the preset. The bank's own
// samples are not used: the preset plays the WAV files.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "formats/KitFormats.h"

namespace {

namespace fs = std::filesystem;

const char kPluginUri[] = "urn:morvantic:kz318";
const char kChunkKey[] = "urn:morvantic:kz318#chunk";

int fail(const std::string& why) {
    std::fprintf(stderr, "kz318-lv2preset: %s\n", why.c_str());
    return 1;
}

std::string base64(const uint8_t* data, size_t size) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < size; i += 3) {
        const uint32_t b0 = data[i], b1 = i + 1 < size ? data[i + 1] : 0, b2 = i + 2 < size ? data[i + 2] : 0;
        const uint32_t v = b0 << 16 | b1 << 8 | b2;
        out += digits[v >> 18 & 63];
        out += digits[v >> 12 & 63];
        out += i + 1 < size ? digits[v >> 6 & 63] : '=';
        out += i + 2 < size ? digits[v & 63] : '=';
    }
    return out;
}

// The preset's chunk: the bank's settings, and for every pad that has a file
// its path NAME/FILE; the files to copy go to `files`, pad by pad.
bool presetChunk(const kitformat::Bank& bank, const std::string& name, kitformat::Chunk& chunk,
                 std::vector<std::string>& files, std::string& error) {
    chunk = kitformat::defaultChunk();
    files.assign(kitformat::kPads, std::string());
    for (int i = 0; i < kitformat::kPads; i++) {
        const kitformat::BankPad& pad = bank.pads[i];
        chunk.pads[i].settings = pad.settings;
        char field[kitformat::kPathField];
        kitformat::readPathField(pad.pathField, field);
        std::string path = field;
        // A bank made on Windows separates with backslashes.
        const size_t cut = path.find_last_of("/\\");
        const std::string file = cut == std::string::npos ? path : path.substr(cut + 1);
        if (file.empty()) {
            if (!pad.samples.empty())
                return (error = "pad " + std::to_string(i + 1) + " has a sample but no file"), false;
            continue;
        }
        const std::string relative = name + "/" + file;
        if (relative.size() >= kitformat::kPathField) return (error = "path too long: " + relative), false;
        std::memcpy(chunk.pads[i].path, relative.c_str(), relative.size() + 1);
        files[i] = file;
    }
    return true;
}

bool writeText(const fs::path& path, const std::string& text) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written;
}

std::string presetText(const std::string& name, const std::string& label, const std::string& chunk) {
    return "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
           "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
           "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
           "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
           "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n"
           "\n"
           "# Made by kz318-lv2preset at build time.\n"
           "<" +
           std::string(kPluginUri) + ":preset:" + name +
           ">\n"
           "\ta pset:Preset ;\n"
           "\tlv2:appliesTo <" +
           kPluginUri +
           "> ;\n"
           "\trdfs:label \"" +
           label +
           "\" ;\n"
           "\tstate:state [\n"
           "\t\t<" +
           kChunkKey + "> \"" + chunk +
           "\"^^xsd:base64Binary\n"
           "\t] .\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: kz318-lv2preset BANK.kbk BUNDLE NAME LABEL\n");
        return 2;
    }
    const fs::path bankFile = argv[1], bundle = argv[2];
    const std::string name = argv[3], label = argv[4];
    if (name.empty() || name.find_first_of("/\\<>\" ") != std::string::npos) return fail("bad preset name " + name);
    if (label.find_first_of("\"\\\n") != std::string::npos) return fail("bad preset label " + label);
    kitformat::Bank bank;
    if (kitformat::readBank(bankFile.string().c_str(), bank) != kitformat::BankRead::ok)
        return fail("cannot read the bank " + bankFile.string());
    kitformat::Chunk chunk;
    std::vector<std::string> files;
    std::string error;
    if (!presetChunk(bank, name, chunk, files, error)) return fail(error);

    std::error_code failure;
    const fs::path folder = bundle / name;
    fs::create_directories(folder, failure);
    if (failure) return fail("cannot create " + folder.string() + ": " + failure.message());
    for (const std::string& file : files) {
        if (file.empty()) continue;
        const fs::path from = bankFile.parent_path() / file;
        fs::copy_file(from, folder / file, fs::copy_options::overwrite_existing, failure);
        if (failure) return fail("cannot copy " + from.string() + ": " + failure.message());
    }
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(chunk, bytes.data());
    const fs::path ttl = bundle / (name + ".ttl");
    if (!writeText(ttl, presetText(name, label, base64(bytes.data(), bytes.size()))))
        return fail("cannot write " + ttl.string());
    return 0;
}
