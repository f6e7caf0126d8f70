#include "formats/KitFormats.h"

#include <cstring>
#include <memory>

namespace kitformat {

const char kChunkMagic[4] = {'k', '8', '1', '3'};
const char kBankMagic[8] = {'k', 'z', 'b', 'k', '0', '0', '0', '1'};

namespace {

// Little-endian field access, independent of the host's byte order.
void put32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
uint32_t get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
void putFloat(uint8_t* p, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    put32(p, v);
}
float getFloat(const uint8_t* p) {
    uint32_t v = get32(p);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

// The eight numeric settings, 32 bytes, shared by both formats.
void putNumbers(uint8_t* p, const PadSettings& s) {
    put32(p, static_cast<uint32_t>(s.midiNote));
    putFloat(p + 4, s.ampDecay);
    putFloat(p + 8, s.pan);
    putFloat(p + 12, s.pitch);
    putFloat(p + 16, s.pitchDecay);
    putFloat(p + 20, s.volume);
    put32(p + 24, static_cast<uint32_t>(s.choke));
    put32(p + 28, static_cast<uint32_t>(s.output));
}
void getNumbers(const uint8_t* p, PadSettings& s) {
    s.midiNote = static_cast<int32_t>(get32(p));
    s.ampDecay = getFloat(p + 4);
    s.pan = getFloat(p + 8);
    s.pitch = getFloat(p + 12);
    s.pitchDecay = getFloat(p + 16);
    s.volume = getFloat(p + 20);
    s.choke = static_cast<int32_t>(get32(p + 24));
    s.output = static_cast<int32_t>(get32(p + 28));
}

}  // namespace

PadSettings defaultSettings(int pad) {
    PadSettings s;
    s.midiNote = 48 + pad;
    return s;
}

void readPathField(const uint8_t* field, char* out) {
    std::memcpy(out, field, kPathField);
    if (!std::memchr(out, 0, kPathField)) out[kPathField - 1] = 0;
}

Chunk defaultChunk() {
    Chunk c;
    for (int i = 0; i < kPads; i++) c.pads[i].settings = defaultSettings(i);
    return c;
}

bool hasChunkMagic(const uint8_t* data) { return std::memcmp(data, kChunkMagic, 4) == 0; }

void encodeChunk(const Chunk& chunk, uint8_t* out) {
    std::memset(out, 0, kChunkSize);
    std::memcpy(out, kChunkMagic, 4);
    std::memcpy(out + 4, chunk.bankPath, kPathField);
    for (int i = 0; i < kPads; i++) {
        uint8_t* r = out + kChunkPadOffset + kChunkPadRecord * i;
        const ChunkPad& pad = chunk.pads[i];
        std::memcpy(r, pad.path, kPathField);
        putNumbers(r + 260, pad.settings);
        put32(r + 292, pad.settings.mute ? 1 : 0);
        put32(r + 296, pad.settings.solo ? 1 : 0);
    }
}

bool decodeChunk(const uint8_t* data, size_t size, Chunk& out) {
    if (size != kChunkSize || !hasChunkMagic(data)) return false;
    readPathField(data + 4, out.bankPath);
    for (int i = 0; i < kPads; i++) {
        const uint8_t* r = data + kChunkPadOffset + kChunkPadRecord * i;
        ChunkPad& pad = out.pads[i];
        readPathField(r, pad.path);
        getNumbers(r + 260, pad.settings);
        pad.settings.mute = get32(r + 292) != 0;
        pad.settings.solo = get32(r + 296) != 0;
    }
    return true;
}

BankRead parseBank(const uint8_t* data, size_t size, Bank& out) {
    if (size < kBankMagicSize || std::memcmp(data, kBankMagic, kBankMagicSize) != 0) return BankRead::badMagic;
    size_t at = kBankMagicSize;
    Bank bank;
    for (int i = 0; i < kPads; i++) {
        if (size - at < kBankBlockHeader) return BankRead::truncated;
        const uint8_t* b = data + at;
        BankPad& pad = bank.pads[i];
        getNumbers(b, pad.settings);
        pad.settings.mute = b[32] != 0;
        pad.settings.solo = b[36] != 0;
        std::memcpy(pad.pathField, b + 40, kPathField);
        uint32_t n = get32(b + 300);
        at += kBankBlockHeader;
        if ((size - at) / 2 < n) return BankRead::truncated;
        pad.samples.resize(n);
        for (uint32_t k = 0; k < n; k++)
            pad.samples[k] = static_cast<int16_t>(static_cast<uint16_t>(data[at + 2 * k] | data[at + 2 * k + 1] << 8));
        at += 2 * static_cast<size_t>(n);
    }
    out = std::move(bank);
    return BankRead::ok;
}

BankRead readBank(const char* fileName, Bank& out) {
    std::FILE* f = std::fopen(fileName, "rb");
    if (!f) return BankRead::cannotOpen;
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), f)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return BankRead::cannotOpen;
    return parseBank(bytes.data(), bytes.size(), out);
}

int16_t floatToBankSample(float x) {
    // Truncation toward zero, keeping the low 16 bits of the 32-bit result.
    double scaled = static_cast<double>(x) * 32768.0;
    if (!(scaled > -2147483648.0 && scaled < 2147483648.0)) scaled = 0.0;
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(static_cast<int32_t>(scaled))));
}

bool writeBankMagic(std::FILE* f) { return std::fwrite(kBankMagic, 1, kBankMagicSize, f) == kBankMagicSize; }

bool writeBankPad(std::FILE* f, const PadSettings& s, const char* pathField, const float* samples, uint32_t count) {
    uint8_t header[kBankBlockHeader] = {};
    putNumbers(header, s);
    header[32] = s.mute;
    header[36] = s.solo;
    if (pathField) std::memcpy(header + 40, pathField, kPathField);
    if (!samples) count = 0;
    put32(header + 300, count);
    if (std::fwrite(header, 1, sizeof(header), f) != sizeof(header)) return false;
    if (count == 0) return true;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[2 * static_cast<size_t>(count)]);
    if (!block) return false;
    for (uint32_t k = 0; k < count; k++) {
        uint16_t v = static_cast<uint16_t>(floatToBankSample(samples[k]));
        block[2 * k] = static_cast<uint8_t>(v);
        block[2 * k + 1] = static_cast<uint8_t>(v >> 8);
    }
    return std::fwrite(block.get(), 1, 2 * static_cast<size_t>(count), f) == 2 * static_cast<size_t>(count);
}

}  // namespace kitformat
