#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/Platform.h"

namespace platform {

bool replaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

std::FILE* openRegularFile(const char* path, uint64_t* size) {
    // O_NONBLOCK keeps the open from waiting for a FIFO's writer; reads block
    // again once the file is known to be regular.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    std::FILE* stream = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && fcntl(fd, F_SETFL, 0) == 0) stream = fdopen(fd, "rb");
    if (!stream) {
        close(fd);
        return nullptr;
    }
    *size = uint64_t(info.st_size);
    return stream;
}

std::FILE* createFileBeside(const char* target, char* name, size_t capacity) {
    // O_EXCL: a name that some file already has is never opened, only passed
    // over for the next one.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; attempt++) {
        int length = std::snprintf(name, capacity, "%s.%ld-%u.tmp", target, long(getpid()), counter++);
        if (length < 0 || size_t(length) >= capacity) return nullptr;
        int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return nullptr;
        std::FILE* stream = fdopen(fd, "wb");
        if (!stream) {
            close(fd);
            unlink(name);
        }
        return stream;
    }
    return nullptr;
}

}  // namespace platform
