// The settings file that stands in for the registry: name=value lines in
// $XDG_CONFIG_HOME/kz318.conf (default ~/.config/kz318.conf).
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The file's path; empty when there is no home folder to put it in.
std::string settingsPath();
// False when the file or the name is missing or the value does not fit.
bool readSetting(const char* name, char* value, size_t capacity);
// Replaces the name's line, keeping the file's other lines; a value holding a
// line break is not written.
bool writeSetting(const char* name, const char* value);

}  // namespace platform
