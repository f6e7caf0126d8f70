// What every case of the VST 3 test host shares: the paths given on the
// command line, the module and the test kit.
#pragma once

#include <string>
#include <vector>

#include "lv2/Kit.h"
#include "vst3/Vst3Host.h"

namespace vst3test {

extern std::string bundlePath;
extern std::string vst2Path;

// The module, loaded once for the whole run as hosts do.
Module& module();

// The LV2 tests' kit, every sample at 44.1 kHz so that no resampler differs
// between systems: WAV files of several formats, a bank pad, a missing file,
// pads on all four output pairs, two pads on one note.
struct TestKit {
    lv2test::Kit kit;
    TestKit() { kit.setPad(1, "kick.wav", lv2test::kSnare, 1, 0.5f); }
    std::vector<uint8_t> bytes() const { return kit.bytes(); }
};

// Notes on every pad, several on the edges of `block`-frame blocks, a chord,
// note-offs, in frame order; `controllerAt` adds controller 123 there.
std::vector<Note> edgeNotes(uint32_t block, uint32_t frames, int64_t controllerAt = -1);

bool sameRender(const Render& a, const Render& b);
bool silent(const Render& r, uint32_t from);

}  // namespace vst3test
