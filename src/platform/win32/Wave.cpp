// WAV reading through the multimedia file calls and conversion through the
// audio compression manager.
#include <windows.h>
#include <mmreg.h>
#include <mmsystem.h>
#include <msacm.h>

#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/RiffWalk.h"
#include "platform/Wave.h"

namespace platform {

namespace {

HMMIO handle(RiffFile* file) { return reinterpret_cast<HMMIO>(file); }

// RiffChunk has MMCKINFO's fields in MMCKINFO's order.
static_assert(sizeof(RiffChunk) == sizeof(MMCKINFO) && offsetof(MMCKINFO, dwFlags) == offsetof(RiffChunk, flags),
              "RiffChunk must match MMCKINFO");

void toRecord(const RiffChunk& chunk, MMCKINFO* record) { std::memcpy(record, &chunk, sizeof *record); }
void fromRecord(const MMCKINFO& record, RiffChunk* chunk) { std::memcpy(chunk, &record, sizeof *chunk); }

LPWAVEFORMATEX waveFormat(const void* format) { return static_cast<LPWAVEFORMATEX>(const_cast<void*>(format)); }

// Whether the shared header walk finds the chunk from the current position
// before end. mmioDescend itself reads on past a damaged header to the end of
// the file, eight bytes at a time through a file of zeros, and its 32-bit
// offsets wrap on a size near 4 GB, so it is asked only for a chunk this walk
// has found; it then steps over the same headers. The position is kept.
bool walkFinds(HMMIO file, uint64_t end, uint32_t id, uint32_t formType) {
    LONG start = mmioSeek(file, 0, SEEK_CUR);
    if (start < 0) return false;
    auto readHeader = [file](uint64_t at, uint8_t* header) -> size_t {
        if (at > uint64_t(LONG_MAX) || mmioSeek(file, LONG(at), SEEK_SET) != LONG(at)) return 0;
        LONG got = mmioRead(file, reinterpret_cast<HPSTR>(header), 12);
        return got > 0 ? size_t(got) : 0;
    };
    FoundChunk chunk;
    bool found = findChunkHeader(readHeader, uint64_t(start), end, id, formType, &chunk);
    mmioSeek(file, start, SEEK_SET);
    return found;
}

}  // namespace

RiffFile* riffOpen(const char* path) {
    // Read access does not write to the name.
    return reinterpret_cast<RiffFile*>(mmioOpenA(const_cast<char*>(path), nullptr, MMIO_ALLOCBUF | MMIO_READ));
}

bool riffFindForm(RiffFile* file, uint32_t formType, RiffChunk* riff) {
    MMCKINFO record;
    std::memset(&record, 0, sizeof record);
    record.fccType = formType;
    if (!walkFinds(handle(file), UINT64_MAX, fourCC("RIFF"), formType)) return false;
    if (mmioDescend(handle(file), &record, nullptr, MMIO_FINDRIFF) != 0) return false;
    fromRecord(record, riff);
    return true;
}

bool riffFindChunk(RiffFile* file, const RiffChunk& parent, uint32_t id, RiffChunk* chunk) {
    MMCKINFO parentRecord, record;
    toRecord(parent, &parentRecord);
    std::memset(&record, 0, sizeof record);
    record.ckid = id;
    if (!walkFinds(handle(file), uint64_t(parent.dataOffset) + parent.size, id, 0)) return false;
    if (mmioDescend(handle(file), &record, &parentRecord, MMIO_FINDCHUNK) != 0) return false;
    fromRecord(record, chunk);
    return true;
}

uint32_t riffRead(RiffFile* file, void* buffer, uint32_t bytes) {
    LONG got = mmioRead(handle(file), static_cast<HPSTR>(buffer), LONG(bytes));
    return got > 0 ? uint32_t(got) : 0;
}

uint64_t riffRemaining(RiffFile* file) {
    LONG here = mmioSeek(handle(file), 0, SEEK_CUR);
    LONG end = mmioSeek(handle(file), 0, SEEK_END);
    mmioSeek(handle(file), here, SEEK_SET);
    return here >= 0 && end >= here ? uint64_t(end - here) : 0;
}

void riffAscend(RiffFile* file, const RiffChunk& chunk) {
    MMCKINFO record;
    toRecord(chunk, &record);
    mmioAscend(handle(file), &record, 0);
}

void riffClose(RiffFile* file) {
    if (file) mmioClose(handle(file), 0);
}

bool suggestPcm(const void* sourceFormat, WaveFormat* pcm) {
    return acmFormatSuggest(nullptr, waveFormat(sourceFormat), waveFormat(pcm), sizeof(WaveFormat),
                            ACM_FORMATSUGGESTF_WFORMATTAG) == 0;
}

StageStep convertStage(const void* sourceFormat, const WaveFormat& target, const void* data, uint32_t bytes,
                       uint8_t** out, uint32_t* outBytes) {
    HACMSTREAM stream = nullptr;
    if (acmStreamOpen(&stream, nullptr, waveFormat(sourceFormat), waveFormat(&target), nullptr, 0, 0,
                      ACM_STREAMOPENF_NONREALTIME) != 0)
        return kStageOpen;
    DWORD size = 0;
    StageStep failed = kStageOk;
    uint8_t* buffer = nullptr;
    if (acmStreamSize(stream, bytes, &size, ACM_STREAMSIZEF_SOURCE) != 0) failed = kStageSize;
    if (!failed && !(buffer = static_cast<uint8_t*>(std::malloc(size ? size : 1)))) failed = kStagePrepare;
    ACMSTREAMHEADER header;
    std::memset(&header, 0, sizeof header);
    header.cbStruct = sizeof header;
    header.pbSrc = static_cast<LPBYTE>(const_cast<void*>(data));
    header.cbSrcLength = bytes;
    header.pbDst = buffer;
    header.cbDstLength = size;
    bool prepared = false;
    if (!failed) {
        if (acmStreamPrepareHeader(stream, &header, 0) != 0)
            failed = kStagePrepare;
        else
            prepared = true;
    }
    if (!failed && acmStreamConvert(stream, &header, 0) != 0) failed = kStageConvert;
    if (prepared && acmStreamUnprepareHeader(stream, &header, 0) != 0 && !failed) failed = kStageUnprepare;
    if (acmStreamClose(stream, 0) != 0 && !failed) failed = kStageClose;
    if (failed) {
        std::free(buffer);
        return failed;
    }
    *out = buffer;
    *outBytes = header.cbDstLengthUsed;
    return kStageOk;
}

}  // namespace platform
