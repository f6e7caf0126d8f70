#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/Platform.h"

namespace platform {

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// "\\.\", "\\?\" and "\??\" reach pipes, volumes and drives directly.
bool inDeviceNamespace(const char* path) {
    return isSeparator(path[0]) && (isSeparator(path[1]) || path[1] == '?') && (path[2] == '.' || path[2] == '?') &&
           isSeparator(path[3]);
}

// CON, NUL, COM1 and the like name a device in every folder and with any
// extension.
bool isDeviceName(const char* path) {
    const char* base = path;
    for (const char* p = path; *p; p++)
        if (isSeparator(*p) || *p == ':') base = p + 1;
    size_t n = 0;
    while (base[n] && base[n] != '.') n++;
    while (n > 0 && base[n - 1] == ' ') n--;
    char stem[8] = {};
    if (n == 0 || n >= sizeof stem) return false;
    for (size_t i = 0; i < n; i++) stem[i] = char(std::toupper(static_cast<unsigned char>(base[i])));
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : devices)
        if (std::strcmp(stem, device) == 0) return true;
    return n == 4 && (std::memcmp(stem, "COM", 3) == 0 || std::memcmp(stem, "LPT", 3) == 0) && stem[3] >= '0' &&
           stem[3] <= '9';
}

// Hands an open handle to a C stream; the handle is closed on failure.
std::FILE* streamOf(HANDLE handle, int flags, const char* mode) {
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, mode);
    if (!stream) _close(fd);
    return stream;
}

}  // namespace

bool replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::FILE* openRegularFile(const char* path, uint64_t* size) {
    if (inDeviceNamespace(path) || isDeviceName(path)) return nullptr;
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* stream = streamOf(handle, _O_RDONLY, "rb");
    if (stream) *size = uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    return stream;
}

std::FILE* createFileBeside(const char* target, char* name, size_t capacity) {
    // CREATE_NEW: a name that some file already has is never opened, only
    // passed over for the next one.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; attempt++) {
        unsigned long process = GetCurrentProcessId();
        int length = std::snprintf(name, capacity, "%s.%lu-%u.tmp", target, process, counter++);
        if (length < 0 || size_t(length) >= capacity) return nullptr;
        HANDLE handle =
            CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return nullptr;
        }
        std::FILE* stream = streamOf(handle, _O_WRONLY, "wb");
        if (!stream) DeleteFileA(name);
        return stream;
    }
    return nullptr;
}

}  // namespace platform
