// Byte layouts of the two kit formats: the settings chunk that travels with a
// host's project and the sound bank file. Pure data handling, no I/O policy:
// shared by the instrument and by the command-line tools.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kitformat {

const size_t kPathField = 260;
const int kPads = 16;

// The ten pad settings in file order (note, amp decay, pan, pitch, pitch
// decay, volume, choke, output, mute, solo).
struct PadSettings {
    int32_t midiNote = 48;
    float ampDecay = 0.0f;
    float pan = 0.5f;
    float pitch = 0.5f;
    float pitchDecay = 0.0f;
    float volume = 0.7f;
    int32_t choke = 0;
    int32_t output = 0;
    uint8_t mute = 0;
    uint8_t solo = 0;
};

// Defaults of pad i of a new instrument.
PadSettings defaultSettings(int pad);

// Copies a 260-byte path field as stored (bytes after the terminator
// included) and makes sure it is terminated: a field without a terminator is
// cut at 259 characters.
void readPathField(const uint8_t* field, char* out);

// A pad path taken from a bank starts with this mark: it names no file, and a
// chunk that carries it keeps the bank's sample on the pad.
const char kBankMark = '_';
// The leading characters of a bank's pad path that the mark replaces.
const size_t kBankMarkLength = 3;
inline bool isBankMarked(const char* path) { return path[0] == kBankMark; }
// Marks a path read from a bank's pad; path holds at least kBankMarkLength
// bytes.
void markBankPath(char* path);

// ---- Settings chunk: 5064 bytes, "k813", bank path, 16 records of 300 bytes.
const size_t kChunkSize = 5064;
const size_t kChunkBankPathOffset = 4;
const size_t kChunkPadOffset = 264;
const size_t kChunkPadRecord = 300;
extern const char kChunkMagic[4];

// The path fields of an encoded chunk, in place (kPathField bytes each, the
// terminator not guaranteed): the bank's, and pad `pad`'s (0..kPads-1).
inline uint8_t* chunkBankPathField(uint8_t* chunk) { return chunk + kChunkBankPathOffset; }
inline const uint8_t* chunkBankPathField(const uint8_t* chunk) { return chunk + kChunkBankPathOffset; }
inline uint8_t* chunkPadPathField(uint8_t* chunk, int pad) { return chunk + kChunkPadOffset + kChunkPadRecord * pad; }
inline const uint8_t* chunkPadPathField(const uint8_t* chunk, int pad) {
    return chunk + kChunkPadOffset + kChunkPadRecord * pad;
}

struct ChunkPad {
    char path[kPathField] = {};
    PadSettings settings;
};

struct Chunk {
    char bankPath[kPathField] = {};
    ChunkPad pads[kPads];
};

Chunk defaultChunk();
void encodeChunk(const Chunk& chunk, uint8_t* out);  // writes kChunkSize bytes
// False when size or magic are wrong; out is then unchanged.
bool decodeChunk(const uint8_t* data, size_t size, Chunk& out);
bool hasChunkMagic(const uint8_t* data);

// ---- Sound bank: "kzbk0001", then 16 blocks of 304 + 2 N bytes.
const size_t kBankMagicSize = 8;
const size_t kBankBlockHeader = 304;
extern const char kBankMagic[8];

struct BankPad {
    PadSettings settings;
    uint8_t pathField[kPathField] = {};  // as stored, terminator not guaranteed
    std::vector<int16_t> samples;
};

struct Bank {
    BankPad pads[kPads];
};

enum class BankRead {
    ok,
    cannotOpen,  // missing, unreadable, or not a regular file
    badMagic,
    badSize,   // the blocks' declared sizes disagree with the bytes there are
    noMemory,  // no room for a pad's samples
};

// Reads and checks a whole bank before anything is used from it; out is
// changed only on success. A file is read only when it is a regular file,
// and no further than its magic when that is wrong.
BankRead readBank(const char* fileName, Bank& out);
BankRead parseBank(const uint8_t* data, size_t size, Bank& out);

// Writes one bank; returns false on any write error. pathField is a whole
// 260-byte path buffer (written as it is), or null for an empty path.
bool writeBankMagic(std::FILE* f);
bool writeBankPad(std::FILE* f, const PadSettings& s, const char* pathField, const float* samples, uint32_t count);

// A chunk taking its pads from a bank, as a host's restore of a bank kit
// does: every pad gets the bank's settings, and a pad the bank fills is
// marked as the bank's (kBankMark) so the plug-in keeps the bank's sample.
// The chunk's bank path is left to the caller.
void takeBankPads(const Bank& bank, Chunk& chunk);

// Sample conversions between the pad form (floats) and the bank form.
int16_t floatToBankSample(float x);
inline float bankSampleToFloat(int16_t s) { return static_cast<float>(s / 32768.0); }

}  // namespace kitformat
