// The chunk search shared by the RIFF readers of every system: the header
// walk of a find-and-descend, with the limits that keep a damaged or hostile
// file from holding the loading thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Headers one search reads at most. Real files have a few dozen chunks; a file
// of empty chunks would otherwise be walked eight bytes at a time.
const uint32_t kMaxChunksPerSearch = 4096;

// Every chunk id a writer uses is four printable ASCII characters. Anything
// else means the walk has left the chunk structure (a file of zeros, a size
// that lies), and the rest of the file is not read as chunks.
inline bool plausibleChunkId(uint32_t id) {
    for (int i = 0; i < 4; i++) {
        uint8_t c = uint8_t(id >> (8 * i));
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

// A chunk header as a search found it.
struct FoundChunk {
    uint32_t id;
    uint32_t size;
    uint32_t formType;    // from the header's third word; only RIFF and LIST have one
    uint64_t dataOffset;  // right after the eight-byte header
};

// Walks chunk headers from offset from, stepping over each chunk and its pad
// byte, until one has id (and formType, when not 0). A header must lie wholly
// before end and start below 4 GB. readHeader(offset, bytes) reads up to 12
// bytes at offset and returns how many it got. False when no such chunk
// comes first or the walk meets something that is not a chunk header.
template <typename ReadHeader>
bool findChunkHeader(ReadHeader readHeader, uint64_t from, uint64_t end, uint32_t id, uint32_t formType,
                     FoundChunk* found) {
    uint64_t at = from;
    for (uint32_t n = 0; n < kMaxChunksPerSearch; n++) {
        uint8_t header[12];
        uint64_t dataOffset = at + 8;
        if (dataOffset > end || dataOffset > UINT32_MAX) return false;
        size_t got = readHeader(at, header);
        if (got < 8) return false;
        uint32_t ckid = 0, size = 0, form = 0;
        for (int i = 3; i >= 0; i--) {
            ckid = ckid << 8 | header[i];
            size = size << 8 | header[4 + i];
            form = form << 8 | (got >= 12 ? header[8 + i] : 0);
        }
        if (!plausibleChunkId(ckid)) return false;
        if (ckid == id && (!formType || (got >= 12 && form == formType))) {
            *found = FoundChunk{ckid, size, form, dataOffset};
            return true;
        }
        at = dataOffset + size + (size & 1);
    }
    return false;
}

}  // namespace platform
