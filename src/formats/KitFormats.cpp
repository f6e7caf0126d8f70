#include "formats/KitFormats.h"

#include <cstring>
#include <exception>
#include <memory>

#include "platform/Platform.h"

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

// Reads count little-endian samples through read.
template <typename Read>
BankRead readSamples(Read& read, uint32_t count, std::vector<int16_t>& samples) {
    try {
        samples.resize(count);
    } catch (const std::exception&) {  // bad_alloc, or length_error beyond max_size
        return BankRead::noMemory;
    }
    uint8_t* bytes = reinterpret_cast<uint8_t*>(samples.data());
    if (count && !read(bytes, 2 * static_cast<size_t>(count))) return BankRead::badSize;
    for (uint32_t k = 0; k < count; k++)
        samples[k] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * k] | bytes[2 * k + 1] << 8));
    return BankRead::ok;
}

// Reads a bank of size bytes through read(to, bytes), which delivers exactly
// the bytes asked for or fails. Every declared length is checked against the
// bytes really left before anything is allocated or read for it.
template <typename Read>
BankRead readBankFrom(Read& read, uint64_t size, Bank& out) {
    uint8_t magic[kBankMagicSize];
    if (size < kBankMagicSize || !read(magic, kBankMagicSize) || std::memcmp(magic, kBankMagic, kBankMagicSize) != 0)
        return BankRead::badMagic;
    uint64_t left = size - kBankMagicSize;
    Bank bank;
    for (int i = 0; i < kPads; i++) {
        uint8_t b[kBankBlockHeader];
        if (left < kBankBlockHeader || !read(b, kBankBlockHeader)) return BankRead::badSize;
        left -= kBankBlockHeader;
        BankPad& pad = bank.pads[i];
        getNumbers(b, pad.settings);
        pad.settings.mute = b[32] != 0;
        pad.settings.solo = b[36] != 0;
        std::memcpy(pad.pathField, b + 40, kPathField);
        uint32_t count = get32(b + 300);
        if (left / 2 < count) return BankRead::badSize;
        left -= 2 * static_cast<uint64_t>(count);
        BankRead samples = readSamples(read, count, pad.samples);
        if (samples != BankRead::ok) return samples;
    }
    // Bytes after the last block are ignored, as they always were: banks
    // that carry them keep loading.
    out = std::move(bank);
    return BankRead::ok;
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

void markBankPath(char* path) { std::memset(path, kBankMark, kBankMarkLength); }

void takeBankPads(const Bank& bank, Chunk& chunk) {
    for (int i = 0; i < kPads; i++) {
        ChunkPad& pad = chunk.pads[i];
        const BankPad& b = bank.pads[i];
        pad.settings = b.settings;
        std::memset(pad.path, 0, sizeof pad.path);
        if (b.pathField[0]) {
            readPathField(b.pathField, pad.path);
            markBankPath(pad.path);
        } else if (!b.samples.empty()) {
            pad.path[0] = kBankMark;
        }
    }
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
    std::memcpy(chunkBankPathField(out), chunk.bankPath, kPathField);
    for (int i = 0; i < kPads; i++) {
        uint8_t* r = chunkPadPathField(out, i);
        const ChunkPad& pad = chunk.pads[i];
        std::memcpy(r, pad.path, kPathField);
        putNumbers(r + 260, pad.settings);
        put32(r + 292, pad.settings.mute ? 1 : 0);
        put32(r + 296, pad.settings.solo ? 1 : 0);
    }
}

bool decodeChunk(const uint8_t* data, size_t size, Chunk& out) {
    if (size != kChunkSize || !hasChunkMagic(data)) return false;
    readPathField(chunkBankPathField(data), out.bankPath);
    for (int i = 0; i < kPads; i++) {
        const uint8_t* r = chunkPadPathField(data, i);
        ChunkPad& pad = out.pads[i];
        readPathField(r, pad.path);
        getNumbers(r + 260, pad.settings);
        pad.settings.mute = get32(r + 292) != 0;
        pad.settings.solo = get32(r + 296) != 0;
    }
    return true;
}

BankRead parseBank(const uint8_t* data, size_t size, Bank& out) {
    size_t at = 0;
    auto read = [&](void* to, size_t bytes) {
        if (bytes > size - at) return false;
        std::memcpy(to, data + at, bytes);
        at += bytes;
        return true;
    };
    return readBankFrom(read, size, out);
}

BankRead readBank(const char* fileName, Bank& out) {
    uint64_t size = 0;
    std::FILE* f = platform::openRegularFile(fileName, &size);
    if (!f) return BankRead::cannotOpen;
    auto read = [f](void* to, size_t bytes) { return std::fread(to, 1, bytes, f) == bytes; };
    BankRead result = readBankFrom(read, size, out);
    std::fclose(f);
    return result;
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
