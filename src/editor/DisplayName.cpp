#include "editor/DisplayName.h"

#include <cstring>

#include "instrument/Pad.h"

namespace editor {

void displayName(const char* path, char separator, char (&out)[kDisplayNameSize]) {
    if (!path) {
        std::strcpy(out, "< none >");
        return;
    }
    // The whole stored path is searched, so a long folder never cuts the name.
    size_t end = strnlen(path, kPathSize);
    while (end > 0 && path[end - 1] == separator) end--;
    size_t start = end;
    while (start > 0 && path[start - 1] != separator) start--;
    while (start < end && path[start] == '.') start++;
    size_t stop = start;
    while (stop < end && path[stop] != '.') stop++;
    size_t length = stop - start < kDisplayNameSize - 1 ? stop - start : kDisplayNameSize - 1;
    std::memcpy(out, path + start, length);
    out[length] = '\0';
}

}  // namespace editor
