#include <cstdio>

#include "platform/Platform.h"

namespace platform {

bool replaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

}  // namespace platform
