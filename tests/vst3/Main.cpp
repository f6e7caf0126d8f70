// The VST 3 test host. Usage:
//   kz318-vst3-test BUNDLE VST2-PLUGIN [FILTER]
//   kz318-vst3-test BUNDLE VST2-PLUGIN --render FILE
// The second form writes the eight outputs of a fixed render (raw 32-bit
// floats) after checking it against the VST 2 plug-in, for comparing builds
// of different systems byte for byte.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "support/MiniTest.h"
#include "vst3/Context.h"

namespace vst3test {

std::string bundlePath;
std::string vst2Path;

Module& module() {
    static Module loaded(bundlePath);
    return loaded;
}

std::vector<Note> edgeNotes(uint32_t block, uint32_t frames, int64_t controllerAt) {
    using namespace lv2test;
    std::vector<Note> notes = {
        {0, 0x90, kKick, 127},          {block - 1, 0x90, kSnare, 90},    {block, 0x90, kHat, 64},
        {2 * block - 1, 0x90, kTom, 1}, {2 * block, 0x90, kBankPad, 100}, {2 * block + 1, 0x90, kMissing, 80},
        {1500, 0x90, kKick, 33},        {1500, 0x90, kHat, 120},          {1500, 0x90, kBankPad, 70},
        {1600, 0x80, kKick, 0},         {7001, 0x90, kSnare, 127},        {9000, 0x90, kKick, 5},
        {9000, 0x90, kBankPad, 127},    {frames - 1, 0x90, kHat, 99},
    };
    if (controllerAt >= 0) notes.push_back({uint32_t(controllerAt), 0xB0, 123, 0});
    for (Note& n : notes) n.frame = std::min(n.frame, frames - 1);
    // The controller before notes on its frame, as the face orders them.
    std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
        return a.frame != b.frame ? a.frame < b.frame : (a.status == 0xB0 && b.status != 0xB0);
    });
    return notes;
}

bool sameRender(const Render& a, const Render& b) {
    for (int k = 0; k < kOutputs; k++) {
        if (a.channel[k].size() != b.channel[k].size() || a.channel[k].empty()) return false;
        if (std::memcmp(a.channel[k].data(), b.channel[k].data(), a.channel[k].size() * sizeof(float)) != 0)
            return false;
    }
    return true;
}

bool silent(const Render& r, uint32_t from) {
    for (int k = 0; k < kOutputs; k++)
        for (size_t i = from; i < r.channel[k].size(); i++)
            if (r.channel[k][i] != 0.0f) return false;
    return true;
}

// The render other systems' builds must give byte for byte.
int writeRender(const char* path) {
    const uint32_t frames = 3 * 4096 + 777, block = 100;
    TestKit kit;
    const std::vector<Note> notes = edgeNotes(block, frames, 11000);
    const Render got = renderVst3(module(), kit.bytes(), frames, block, notes);
    if (silent(got, 0) || !sameRender(got, renderVst2(vst2Path, kit.bytes(), frames, block, notes))) {
        std::fprintf(stderr, "the VST 3 render is silent or differs from the VST 2 plug-in's\n");
        return 1;
    }
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return 1;
    for (const auto& c : got.channel) std::fwrite(c.data(), sizeof(float), c.size(), f);
    return std::fclose(f) == 0 ? 0 : 1;
}

}  // namespace vst3test

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s BUNDLE VST2-PLUGIN [FILTER | --render FILE]\n", argv[0]);
        return 2;
    }
    vst3test::bundlePath = argv[1];
    vst3test::vst2Path = argv[2];
    if (argc == 5 && std::strcmp(argv[3], "--render") == 0) return vst3test::writeRender(argv[4]);
    return minitest::runAll(argc > 3 ? argv[3] : "");
}
