// A host restores a kit through the settings chunk, plays it, and saves the
// chunk again: only the record, the dispatcher and the render entries.
#include <cmath>
#include <cstring>
#include <vector>

#include "formats/KitFormats.h"
#include "integration/Plugin.h"
#include "support/MiniTest.h"
#include "support/WaveWriter.h"

using scenario::Instance;

namespace {

const char kWave[] = "kz318-abi-chunk.wav";
const int kLength = 100;
const int kFrames = 128;

std::vector<int16_t> writeSample() {
    std::vector<int16_t> s(kLength);
    for (int i = 0; i < kLength; i++) s[i] = static_cast<int16_t>((i * 733) % 20000 - 10000);
    s[5] = 32767;
    s[6] = -32768;
    wavetest::writeFile(kWave, wavetest::wave(wavetest::Format(), wavetest::samples(s, 2)));
    return s;
}

double level(double x) { return std::pow(2.0, 6.0 * x - 5.0) - 0.03125; }

}  // namespace

TEST_CASE(ChunkNamingAWaveFilePlaysItAndComesBackUnchanged) {
    std::vector<int16_t> sample = writeSample();
    kitformat::Chunk chunk = kitformat::defaultChunk();
    std::strcpy(chunk.pads[0].path, kWave);
    chunk.pads[0].settings.pan = 0.25f;
    chunk.pads[0].settings.volume = 0.9f;
    chunk.pads[0].settings.output = 1;
    chunk.pads[9].settings.choke = 2;
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(chunk, bytes.data());

    Instance plugin;
    AEffect* e = plugin.effect();
    if (!CHECK(e != nullptr)) return;
    CHECK_EQ(plugin.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data()), 0);
    void* saved = nullptr;
    CHECK_EQ(plugin.dispatch(effGetChunk, 0, 0, &saved), 5064);
    CHECK(saved && std::memcmp(saved, bytes.data(), bytes.size()) == 0);

    VstMidiEvent note;
    std::memset(&note, 0, sizeof(note));
    note.type = kVstMidiType;
    note.byteSize = sizeof(note);
    note.midiData[0] = static_cast<char>(0x90);
    note.midiData[1] = 48;
    note.midiData[2] = 127;
    VstEvents events;
    events.numEvents = 1;
    events.reserved = 0;
    events.events[0] = reinterpret_cast<VstEvent*>(&note);
    CHECK_EQ(plugin.dispatch(effProcessEvents, 0, 0, &events), 1);

    std::vector<float> out[8];
    float* ptrs[8];
    for (int i = 0; i < 8; i++) {
        out[i].assign(kFrames, 1.0f);
        ptrs[i] = out[i].data();
    }
    e->processReplacing(e, nullptr, ptrs, kFrames);

    const double gain = level(0.9f) * level(1.0);
    const float left = static_cast<float>(gain * (1.0 - 0.25f)), right = static_cast<float>(gain * 0.25f);
    int wrong = 0;
    for (int j = 0; j < kFrames; j++) {
        // Rate 1 reads frame j exactly; the voice ends at frame length - 3.
        bool sounding = j >= 1 && j <= kLength - 4;
        float s = sounding ? static_cast<float>(sample[j] / 32768.0) : 0.0f;
        if (out[2][j] != (sounding ? left * s : 0.0f) || out[3][j] != (sounding ? right * s : 0.0f)) wrong++;
        for (int k : {0, 1, 4, 5, 6, 7})
            if (out[k][j] != 0.0f) wrong++;
    }
    CHECK_EQ(wrong, 0);
    std::remove(kWave);
}

TEST_CASE(ChunkOfTheWrongSizeIsRefused) {
    Instance plugin;
    std::vector<uint8_t> bytes(kitformat::kChunkSize + 1);
    kitformat::encodeChunk(kitformat::defaultChunk(), bytes.data());
    CHECK_EQ(plugin.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data()), 0);
    void* saved = nullptr;
    CHECK_EQ(plugin.dispatch(effGetChunk, 1, 0, &saved), 5064);
    CHECK(saved && std::memcmp(saved, bytes.data(), kitformat::kChunkSize) == 0);
}
