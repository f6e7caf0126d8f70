// RIFF chunk walker with the find-and-descend semantics of the Windows
// multimedia file reader: searches run forward from the current position,
// a chunk search stays inside its parent, odd sizes carry a pad byte.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <new>

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

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

bool seekTo(RiffFile* f, uint64_t position) {
    if (position > f->size) position = f->size;
    if (fseeko(f->stream, off_t(position), SEEK_SET) != 0) return false;
    f->position = position;
    return true;
}

// Reads chunk headers from the current position until one matches id (and
// formType, when not 0), never starting one at or past end.
bool descend(RiffFile* f, uint64_t end, uint32_t id, uint32_t formType, RiffChunk* chunk) {
    uint64_t start = f->position;
    for (;;) {
        uint8_t header[12];
        uint64_t dataOffset = f->position + 8;
        bool inside = dataOffset <= end && dataOffset <= UINT32_MAX;
        size_t got = inside ? std::fread(header, 1, sizeof header, f->stream) : 0;
        if (got < 8) {
            seekTo(f, start);
            return false;
        }
        f->position += got;
        uint32_t ckid = le32(header), size = le32(header + 4);
        bool hasForm = ckid == kRiff || ckid == kList;
        uint32_t form = got == 12 ? le32(header + 8) : 0;
        if (ckid == id && (!formType || (got == 12 && form == formType))) {
            chunk->id = ckid;
            chunk->size = size;
            chunk->formType = hasForm ? form : 0;
            chunk->dataOffset = uint32_t(dataOffset);
            chunk->flags = 0;
            return seekTo(f, dataOffset + (hasForm ? 4 : 0));
        }
        if (!seekTo(f, dataOffset + size + (size & 1))) return false;
    }
}

}  // namespace

RiffFile* riffOpen(const char* path) {
    // Not blocking on a pipe or device that was chosen by mistake: only
    // regular files are read.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    FILE* stream = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && fcntl(fd, F_SETFL, 0) == 0) stream = fdopen(fd, "rb");
    RiffFile* f = stream ? new (std::nothrow) RiffFile{stream, uint64_t(info.st_size), 0} : nullptr;
    if (!f && stream)
        std::fclose(stream);
    else if (!f)
        close(fd);
    return f;
}

bool riffFindForm(RiffFile* f, uint32_t formType, RiffChunk* riff) { return descend(f, f->size, kRiff, formType, riff); }

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
