// The kit's files: the chunk kept between runs, written atomically, and a
// bank imported through the chunk a host would restore.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vst/aeffect.h"

namespace live {

// Reads a whole regular file of at most `limit` bytes; false otherwise.
bool readFile(const std::string& path, std::vector<uint8_t>& out, size_t limit);
// Writes beside the target and renames over it, so a reader only ever finds
// the old or the new file whole; creates missing folders. False on failure.
bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& data);

// Where the kit of the last run is kept: $XDG_CONFIG_HOME/kz318/live.chunk
// (or ~/.config/...); empty when neither variable is set.
std::string rememberedKitPath();

// Imports the bank at `file` as the editor's bank import does: a chunk that
// names the bank and keeps nothing of the pads the bank fills. When the file
// is no bank, the plug-in says so and the kit stays as it is. False with a
// reason only when no chunk could be made at all. [host]
bool importBank(AEffect* effect, const std::string& file, std::string& error);

// What the first line calls the kit: the bank's file name, or what kind of
// kit it is when it names no bank.
std::string describeKit(const std::vector<uint8_t>& chunk);

}  // namespace live
