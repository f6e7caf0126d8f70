#include "editor/DisplayName.h"

#include <cstring>

#include "kit/Pad.h"

namespace editor {

namespace {

// Banks and settings chunks carry paths from any system, so both
// separators split on every one.
bool isSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

void displayName(const char* path, char (&out)[kDisplayNameSize]) {
    if (!path) {
        std::strcpy(out, "< none >");
        return;
    }
    // The whole stored path is searched, so a long folder never cuts the name.
    size_t end = strnlen(path, kPathSize);
    while (end > 0 && isSeparator(path[end - 1])) end--;
    size_t start = end;
    while (start > 0 && !isSeparator(path[start - 1])) start--;
    while (start < end && path[start] == '.') start++;
    size_t stop = start;
    while (stop < end && path[stop] != '.') stop++;
    size_t length = stop - start < kDisplayNameSize - 1 ? stop - start : kDisplayNameSize - 1;
    std::memcpy(out, path + start, length);
    out[length] = '\0';
}

}  // namespace editor
