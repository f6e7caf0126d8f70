// The system's RIFF file reader and audio converter, as the WAV reader uses
// them: the multimedia file calls and the audio compression manager on
// Windows, the project's own walker and decoders on other systems.
#pragma once

#include <cstdint>

namespace platform {

// The layout of a WAVEFORMATEX record (18 bytes, little-endian, packed).
#pragma pack(push, 1)
struct WaveFormat {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSec;
    uint32_t avgBytesPerSec;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;  // cbSize: bytes of format-specific data that follow
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18, "WaveFormat must match WAVEFORMATEX");

const uint16_t kFormatPcm = 1;
const uint16_t kFormatMsAdpcm = 2;
const uint16_t kFormatFloat = 3;
const uint16_t kFormatALaw = 6;
const uint16_t kFormatMuLaw = 7;
const uint16_t kFormatImaAdpcm = 0x11;
const uint16_t kFormatExtensible = 0xFFFE;

inline constexpr uint32_t fourCC(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

// One chunk as the walker sees it (the fields of MMCKINFO, in its order).
struct RiffChunk {
    uint32_t id;
    uint32_t size;        // bytes of data, without the pad byte of an odd size
    uint32_t formType;    // RIFF and LIST chunks only
    uint32_t dataOffset;  // file offset of the data (after the form type for RIFF)
    uint32_t flags;
};

struct RiffFile;

// Opens a file for buffered reading; null when it cannot be opened.
RiffFile* riffOpen(const char* path);
// From the current position, finds the first top-level RIFF chunk of the form
// type and stands after its form type.
bool riffFindForm(RiffFile* file, uint32_t formType, RiffChunk* riff);
// From the current position, finds the chunk id inside parent and stands at
// the start of its data. Odd-sized chunks are followed by one pad byte.
bool riffFindChunk(RiffFile* file, const RiffChunk& parent, uint32_t id, RiffChunk* chunk);
// Reads up to bytes bytes at the current position; returns the count read.
uint32_t riffRead(RiffFile* file, void* buffer, uint32_t bytes);
// Bytes from the current position to the end of the file.
uint64_t riffRemaining(RiffFile* file);
// Moves past the end of chunk (and its pad byte).
void riffAscend(RiffFile* file, const RiffChunk& chunk);
void riffClose(RiffFile* file);

// Asks the converter for a PCM format that source can be brought to; pcm's
// formatTag is set by the caller, the other fields are filled in.
bool suggestPcm(const void* sourceFormat, WaveFormat* pcm);

// The steps of one conversion stage, in order; a stage reports the first
// that failed.
enum StageStep { kStageOk = 0, kStageOpen, kStageSize, kStagePrepare, kStageConvert, kStageUnprepare, kStageClose };

// Converts bytes of data in sourceFormat to target in one call over the whole
// buffer. On kStageOk *out is a new malloc'd buffer holding *outBytes bytes;
// on failure nothing is left allocated or open.
StageStep convertStage(const void* sourceFormat, const WaveFormat& target, const void* data, uint32_t bytes,
                       uint8_t** out, uint32_t* outBytes);

}  // namespace platform
