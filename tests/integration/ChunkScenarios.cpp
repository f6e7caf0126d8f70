// A host restores a kit through the settings chunk, plays it, and saves the
// chunk again: only the record, the dispatcher and the render entries.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/KitFormats.h"
#include "integration/Plugin.h"
#include "support/HostilePaths.h"
#include "support/MessageCatcher.h"
#include "support/MiniTest.h"
#include "support/TempFolder.h"
#include "support/Watchdog.h"
#include "support/WaveWriter.h"

using scenario::Instance;

namespace {

const int kLength = 100;
const int kFrames = 128;

std::vector<int16_t> testSample() {
    std::vector<int16_t> s(kLength);
    for (int i = 0; i < kLength; i++) s[i] = static_cast<int16_t>((i * 733) % 20000 - 10000);
    s[5] = 32767;
    s[6] = -32768;
    return s;
}

wavetest::Bytes testWave() { return wavetest::wave(wavetest::Format(), wavetest::samples(testSample(), 2)); }

double level(double x) { return std::pow(2.0, 6.0 * x - 5.0) - 0.03125; }

}  // namespace

TEST_CASE(ChunkNamingAWaveFilePlaysItAndComesBackUnchanged) {
    testsupport::TempFolder folder;
    std::string wave = folder.file("kick.wav");
    std::vector<int16_t> sample = testSample();
    wavetest::writeFile(wave, testWave());
    kitformat::Chunk chunk = kitformat::defaultChunk();
    std::strcpy(chunk.pads[0].path, wave.c_str());
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

namespace {

std::vector<uint8_t> encoded(const kitformat::Chunk& chunk) {
    std::vector<uint8_t> bytes(kitformat::kChunkSize);
    kitformat::encodeChunk(chunk, bytes.data());
    return bytes;
}

std::vector<uint8_t> savedChunk(Instance& plugin) {
    void* data = nullptr;
    VstIntPtr size = plugin.dispatch(effGetChunk, 0, 0, &data);
    if (!data || size != static_cast<VstIntPtr>(kitformat::kChunkSize)) return {};
    return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// The loudest output of one block that starts with the note (after all
// notes off).
float notePeak(Instance& plugin, int note) {
    VstMidiEvent events[2];
    std::memset(events, 0, sizeof events);
    const char bytes[2][3] = {{char(0xB0), 123, 0}, {char(0x90), char(note), 127}};
    VstEvents list;
    std::memset(&list, 0, sizeof list);
    list.numEvents = 2;
    for (int i = 0; i < 2; i++) {
        events[i].type = kVstMidiType;
        events[i].byteSize = sizeof events[i];
        std::memcpy(events[i].midiData, bytes[i], 3);
        list.events[i] = reinterpret_cast<VstEvent*>(&events[i]);
    }
    plugin.dispatch(effProcessEvents, 0, 0, &list);
    std::vector<float> out[8];
    float* ptrs[8];
    for (int i = 0; i < 8; i++) {
        out[i].assign(kFrames, 0.0f);
        ptrs[i] = out[i].data();
    }
    plugin.effect()->processReplacing(plugin.effect(), nullptr, ptrs, kFrames);
    float peak = 0;
    for (const std::vector<float>& o : out)
        for (float v : o) peak = std::fmax(peak, std::fabs(v));
    return peak;
}

// A plug-in whose pad 0 plays a WAV file, and the chunk that set it up.
struct HostileSetup {
    HostileSetup() {
        wavetest::writeFile(folder.file("kick.wav"), testWave());
        std::strcpy(kit.pads[0].path, folder.file("kick.wav").c_str());
        if (!plugin.effect()) return;
        plugin.dispatch(effSetChunk, 0, kitformat::kChunkSize, encoded(kit).data());
        before = savedChunk(plugin);
    }

    // Restores chunk as a host would; it must answer at once.
    std::vector<std::string> restore(const kitformat::Chunk& chunk, const testsupport::HostilePaths::Path& p) {
        testsupport::MessageCatcher catcher(folder.file("messages.txt"));
        {
            testsupport::Watchdog watchdog("effSetChunk naming " + p.kind, 5);
            testsupport::WithoutRoot user(p.unreadable);
            plugin.dispatch(effSetChunk, 0, kitformat::kChunkSize, encoded(chunk).data());
        }
        return catcher.messages();
    }

    testsupport::TempFolder folder;
    kitformat::Chunk kit = kitformat::defaultChunk();
    Instance plugin;
    std::vector<uint8_t> before;
};

// The bank file of a new instrument, written at path.
std::vector<uint8_t> emptyBank(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && kitformat::writeBankMagic(f);
    for (int i = 0; ok && i < kitformat::kPads; i++)
        ok = kitformat::writeBankPad(f, kitformat::defaultSettings(i), nullptr, nullptr, 0);
    if (f) std::fclose(f);
    std::ifstream in(path, std::ios::binary);
    return ok ? std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())
              : std::vector<uint8_t>();
}

bool about(bool ok, const std::string& kind) {
    if (!ok) std::printf("    with %s\n", kind.c_str());
    return ok;
}

}  // namespace

TEST_CASE(ChunkNamingAHostileBankAnswersAtOnceAndChangesNothing) {
    HostileSetup s;
    if (!CHECK(s.plugin.effect() != nullptr) || !CHECK(notePeak(s.plugin, 48) > 0.0f)) return;
    testsupport::HostilePaths hostile(s.folder.path(), emptyBank(s.folder.file("empty.kbk")));
    for (const testsupport::HostilePaths::Path& p : hostile.all()) {
        kitformat::Chunk chunk = s.kit;
        std::strncpy(chunk.bankPath, p.path.c_str(), kitformat::kPathField - 1);
        chunk.pads[0].path[0] = '_';  // pad 0 keeps what it has
        std::vector<std::string> messages = s.restore(chunk, p);
        about(CHECK_EQ(messages.size(), size_t(1)), p.kind);
        if (!messages.empty()) about(CHECK_STR(messages[0].c_str(), "Error: Not a valid KZ-318 Bank File"), p.kind);
        about(CHECK(savedChunk(s.plugin) == s.before), p.kind);
        about(CHECK(notePeak(s.plugin, 48) > 0.0f), p.kind);
    }
}

TEST_CASE(ChunkNamingAHostileSampleAnswersAtOnceAndLeavesThatPadSilent) {
    HostileSetup s;
    if (!CHECK(s.plugin.effect() != nullptr) || !CHECK(notePeak(s.plugin, 48) > 0.0f)) return;
    testsupport::HostilePaths hostile(s.folder.path(), testWave());
    for (const testsupport::HostilePaths::Path& p : hostile.all()) {
        kitformat::Chunk chunk = s.kit;
        chunk.pads[0].path[0] = '_';
        std::strncpy(chunk.pads[1].path, p.path.c_str(), kitformat::kPathField - 1);
        chunk.pads[1].settings.volume = 0.9f;
        about(CHECK(s.restore(chunk, p).empty()), p.kind);
        // Pad 1 keeps its path and settings but has no sample.
        kitformat::Chunk expected = chunk;
        expected.pads[0] = s.kit.pads[0];
        about(CHECK(savedChunk(s.plugin) == encoded(expected)), p.kind);
        about(CHECK_EQ(notePeak(s.plugin, 49), 0.0f), p.kind);
        about(CHECK(notePeak(s.plugin, 48) > 0.0f), p.kind);
    }
}
