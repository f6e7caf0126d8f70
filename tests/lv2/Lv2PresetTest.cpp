// The demo kit as the bundle's preset: lilv lists it, and restored as an LV2
// host restores a preset it plays the demo groove as kz318-render plays it
// with examples/kit/demo.kbk.
#include <gtest/gtest.h>
#include <lv2/presets/presets.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "formats/KitFormats.h"
#include "lv2/Lv2Host.h"
#include "render/Smf.h"
#include "support/TempFolder.h"

using namespace lv2test;

namespace {

const std::string kSource = KZ_SOURCE_DIR;
const char kLabel[] = "Demo kit";
const uint32_t kBlock = 512;

std::string labelOf(LilvWorld* world, const LilvNode* preset) {
    LilvNode* label = lilv_new_uri(world, LILV_NS_RDFS "label");
    LilvNode* value = lilv_world_get(world, preset, label, nullptr);
    std::string text = value ? lilv_node_as_string(value) : "";
    lilv_node_free(value);
    lilv_node_free(label);
    return text;
}

// The presets lilv finds for the plug-in, by label, loaded as a host loads
// them before it shows their names.
std::vector<std::string> presetLabels(Lv2Plugin& lv2, LilvNode** demoKit) {
    LilvWorld* world = lv2.lilvWorld();
    LilvNode* presetClass = lilv_new_uri(world, LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(lv2.lilvPlugin(), presetClass);
    std::vector<std::string> labels;
    LILV_FOREACH(nodes, i, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        lilv_world_load_resource(world, preset);
        labels.push_back(labelOf(world, preset));
        if (demoKit && labels.back() == kLabel) *demoKit = lilv_node_duplicate(preset);
    }
    lilv_nodes_free(presets);
    lilv_node_free(presetClass);
    return labels;
}

// Restores the demo kit preset through lilv, which gives the plug-in its
// map-path feature for the preset's folder.
bool restoreDemoKit(Lv2Plugin& lv2) {
    LilvNode* preset = nullptr;
    presetLabels(lv2, &preset);
    if (!preset) return false;
    LilvState* state = lilv_state_new_from_world(lv2.lilvWorld(), &lv2.urids().map, preset);
    lilv_node_free(preset);
    if (!state) return false;
    lilv_state_restore(state, lv2.lilvInstance(), nullptr, nullptr, 0, nullptr);
    lilv_state_free(state);
    return true;
}

// The interleaved samples of a 32-bit float stereo WAV file.
std::vector<float> readStereoFloats(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        uint32_t size = 0;
        std::memcpy(&size, &bytes[at + 4], 4);
        if (std::memcmp(&bytes[at], "data", 4) == 0 && at + 8 + size <= bytes.size()) {
            std::vector<float> samples(size / 4);
            std::memcpy(samples.data(), &bytes[at + 8], samples.size() * 4);
            return samples;
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

TEST(Lv2Preset, LilvListsTheDemoKit) {
    Lv2Plugin lv2(KZ_LV2_BUNDLE, 44100.0);
    ASSERT_TRUE(lv2.ok());
    EXPECT_EQ(presetLabels(lv2, nullptr), std::vector<std::string>{kLabel});
}

TEST(Lv2Preset, TheDemoKitPlaysTheSamplesInsideTheBundle) {
    Lv2Plugin lv2(KZ_LV2_BUNDLE, 44100.0);
    ASSERT_TRUE(lv2.ok());
    ASSERT_TRUE(restoreDemoKit(lv2));
    Bytes chunk = lv2.savedChunk();
    kitformat::Chunk kit;
    ASSERT_TRUE(kitformat::decodeChunk(chunk.data(), chunk.size(), kit));
    const std::string folder = std::filesystem::canonical(KZ_LV2_BUNDLE).string() + "/demo-kit/";
    EXPECT_STREQ(kit.bankPath, "");
    for (int i = 0; i < kitformat::kPads; i++) {
        const std::string path = kit.pads[i].path;
        EXPECT_EQ(path.compare(0, folder.size(), folder), 0) << path;
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    }
}

TEST(Lv2Preset, TheDemoKitSoundsAsKz318RenderPlaysTheDemoBank) {
    testsupport::TempFolder scratch;
    const std::string out = scratch / "demo.wav";
    const std::string command = std::string(KZ_RENDER_TOOL) + " --quiet --plugin " + KZ_VST_PLUGIN + " --kit " +
                                kSource + "/examples/kit/demo.kbk --stems --tail 0 --out " + out + " " + kSource +
                                "/examples/demo-groove.mid";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<float> want = readStereoFloats(scratch / "demo-1.wav");
    ASSERT_GT(want.size(), 44100u * 2 * 10);
    smf::Song song;
    std::string error;
    ASSERT_TRUE(smf::load(kSource + "/examples/demo-groove.mid", 44100, song, error)) << error;

    Lv2Plugin lv2(KZ_LV2_BUNDLE, 44100.0);
    ASSERT_TRUE(lv2.ok());
    ASSERT_TRUE(restoreDemoKit(lv2));
    const uint64_t frames = want.size() / 2;
    size_t next = 0;
    uint64_t differ = 0, elsewhere = 0;
    double energy = 0.0;
    for (uint64_t start = 0; start < frames; start += kBlock) {
        const uint32_t n = uint32_t(std::min<uint64_t>(kBlock, frames - start));
        std::vector<Event> events;
        for (; next < song.events.size() && uint64_t(song.events[next].frame) < start + n; next++) {
            const smf::Event& e = song.events[next];
            const uint8_t kind = e.bytes[0] & 0xF0;
            events.push_back({uint32_t(e.frame - int64_t(start)),
                              {e.bytes[0], e.bytes[1], e.bytes[2]},
                              kind == 0xC0 || kind == 0xD0 ? 2u : 3u});
        }
        Block block(n);
        lv2.run(block, events);
        for (uint32_t f = 0; f < n; f++) {
            for (int side = 0; side < 2; side++) {
                const float got = block.data[side][f], expected = want[2 * (start + f) + side];
                differ += std::memcmp(&got, &expected, sizeof got) != 0;
                energy += double(got) * got;
            }
            for (int k = 2; k < kOutputs; k++) elsewhere += block.data[k][f] != 0.0f;
        }
    }
    EXPECT_EQ(differ, 0u) << "samples of the first pair differ from kz318-render's";
    EXPECT_EQ(elsewhere, 0u) << "the demo kit sounds outside the first pair";
    EXPECT_GT(energy, 1.0);
}

}  // namespace
