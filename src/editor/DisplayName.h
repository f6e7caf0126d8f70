// The name a pad shows for its sample file.
#pragma once

#include <cstddef>

namespace editor {

const size_t kDisplayNameSize = 64;  // 63 characters and the terminator

// The last component of path (components split at '/' and at '\\' alike,
// whichever system made the path; runs of separators count as one), up to its
// first dot; leading dots are skipped, so a name of dots only is empty. Null
// path: "< none >". Longer names are cut to fit out.
void displayName(const char* path, char (&out)[kDisplayNameSize]);

}  // namespace editor
