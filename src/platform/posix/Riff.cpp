// RIFF chunk walker with the find-and-descend semantics of the Windows
// multimedia file reader: searches run forward from the current position,
// a chunk search stays inside its parent, odd sizes carry a pad byte. The
// header walk itself is the shared one of RiffWalk.h.
#include <sys/types.h>

#include <cstdio>
#include <new>

#include "platform/Platform.h"
#include "platform/RiffWalk.h"
#include "platform/Wave.h"

namespace platform {

struct RiffFile {
    FILE* stream;
    uint64_t size;
    uint64_t position;
};

namespace {

const uint32_t kRiff = fourCC("RIFF");
const uint32_t kList = fourCC("LIST");

bool seekTo(RiffFile* f, uint64_t position) {
    if (position > f->size) position = f->size;
    if (fseeko(f->stream, off_t(position), SEEK_SET) != 0) return false;
    f->position = position;
    return true;
}

// Finds the chunk id (and formType, when not 0) among the headers from the
// current position up to end and stands at its data; stays put when there is
// none.
bool descend(RiffFile* f, uint64_t end, uint32_t id, uint32_t formType, RiffChunk* chunk) {
    uint64_t start = f->position;
    auto readHeader = [f](uint64_t at, uint8_t* header) -> size_t {
        if (!seekTo(f, at)) return 0;
        size_t got = std::fread(header, 1, 12, f->stream);
        f->position += got;
        return got;
    };
    FoundChunk found;
    if (!findChunkHeader(readHeader, start, end, id, formType, &found)) {
        seekTo(f, start);
        return false;
    }
    bool hasForm = found.id == kRiff || found.id == kList;
    chunk->id = found.id;
    chunk->size = found.size;
    chunk->formType = hasForm ? found.formType : 0;
    chunk->dataOffset = uint32_t(found.dataOffset);
    chunk->flags = 0;
    return seekTo(f, found.dataOffset + (hasForm ? 4 : 0));
}

}  // namespace

RiffFile* riffOpen(const char* path) {
    uint64_t size = 0;
    FILE* stream = openRegularFile(path, &size);
    RiffFile* f = stream ? new (std::nothrow) RiffFile{stream, size, 0} : nullptr;
    if (!f && stream) std::fclose(stream);
    return f;
}

bool riffFindForm(RiffFile* f, uint32_t formType, RiffChunk* riff) {
    return descend(f, f->size, kRiff, formType, riff);
}

bool riffFindChunk(RiffFile* f, const RiffChunk& parent, uint32_t id, RiffChunk* chunk) {
    uint64_t end = uint64_t(parent.dataOffset) + parent.size;
    if (f->position < parent.dataOffset || f->position >= end) return false;
    return descend(f, end, id, 0, chunk);
}

uint32_t riffRead(RiffFile* f, void* buffer, uint32_t bytes) {
    size_t got = std::fread(buffer, 1, bytes, f->stream);
    f->position += got;
    return uint32_t(got);
}

uint64_t riffRemaining(RiffFile* f) { return f->size - f->position; }

void riffAscend(RiffFile* f, const RiffChunk& chunk) {
    seekTo(f, uint64_t(chunk.dataOffset) + chunk.size + (chunk.size & 1));
}

void riffClose(RiffFile* f) {
    if (!f) return;
    std::fclose(f->stream);
    delete f;
}

}  // namespace platform
