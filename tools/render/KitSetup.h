// Turns the kit options into the settings chunk that the plug-in receives.
#pragma once

#include <string>

#include "formats/KitFormats.h"
#include "render/Options.h"

namespace render {

// Full path of an existing file, in the form the plug-in can open.
bool absolutePath(const std::string& path, std::string& out);

// Builds the chunk from --chunk-in, --kit and --pad; false with a reason.
bool buildChunk(const Options& options, const std::string& defaultKit, kitformat::Chunk& chunk, std::string& error);

}  // namespace render
