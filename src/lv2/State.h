// The instrument's state for LV2 hosts: the settings chunk under one key,
// with its file paths in the host's abstract form where the host maps paths.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace lv2face {

// The state interface when uri names it, else null.
const void* stateExtension(const char* uri);

// Rewrites the bank path and every pad path that names a file (not empty, not
// marked as coming from a bank) of a settings chunk through convert. An
// empty result, or one the path field cannot hold, leaves that path as it was.
void convertChunkPaths(uint8_t* chunk, const std::function<std::string(const char*)>& convert);

}  // namespace lv2face
