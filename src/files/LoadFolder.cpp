#include "files/LoadFolder.h"

#include <cstring>

#include "platform/Platform.h"

void lookUpLoadFolder(char (&folder)[kLoadFolderSize]) {
    std::memset(folder, 0, sizeof folder);
    if (!platform::services().readLoadFolder(folder, sizeof folder)) folder[0] = 0;
    folder[sizeof folder - 1] = 0;
}

bool folderOf(const char* path, char separator, char* folder, size_t capacity) {
    size_t length = 0;
    auto append = [&](const char* text, size_t count) {
        if (length + count >= capacity) return false;
        std::memcpy(folder + length, text, count);
        length += count;
        folder[length] = 0;
        return true;
    };
    folder[0] = 0;
    const char* p = path;
    while (*p == separator) p++;
    bool fits = append(path, size_t(p - path));
    for (const char* token = p; fits && *token;) {
        const char* end = std::strchr(token, separator);
        if (!end) break;  // the last component: the file's name
        fits = append(token, size_t(end - token)) && append(&separator, 1);
        token = end;
        while (*token == separator) token++;
    }
    if (!fits) folder[0] = 0;
    return fits;
}

void rememberFolderOf(const char* path) {
    char folder[kLoadFolderSize];
    if (folderOf(path, platform::pathSeparator(), folder, sizeof folder)) platform::services().writeLoadFolder(folder);
}
