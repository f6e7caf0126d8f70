#pragma once

#include <cstdint>
#include <vector>

// The bytes of the demo groove MIDI file, compiled into the tool.
const std::vector<uint8_t>& demoGroove();
