// A kit on disk for the LV2 tests: WAV files of several formats, a sound bank
// and the settings chunk naming them, in a fresh folder.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "formats/KitFormats.h"
#include "support/TempFolder.h"
#include "support/WaveWriter.h"

namespace lv2test {

// Notes of the kit's pads: two pads share the first.
const int kKick = 36, kSnare = 38, kHat = 42, kTom = 45, kBankPad = 47, kMissing = 49;

struct Kit {
    testsupport::TempFolder folder;
    kitformat::Chunk chunk = kitformat::defaultChunk();

    Kit() {
        using namespace wavetest;
        writeFile(folder / "kick.wav", wave(Format{}, samples(testSignal(3000), 2)));
        Format at48k;
        at48k.rate = 48000;
        writeFile(folder / "snare.wav", wave(at48k, samples(testSignal(2500), 2)));
        Format float32;
        float32.tag = 3;
        float32.bits = 32;
        std::vector<float> hat(1800);
        for (size_t i = 0; i < hat.size(); i++) hat[i] = float(int(i * 7919 % 2001) - 1000) / 1000.0f;
        writeFile(folder / "hat.wav", wave(float32, floats(hat)));
        writeBank(folder / "kit.kbk");

        setPad(0, "kick.wav", kKick, 0, 0.3f);
        chunk.pads[0].settings.ampDecay = 0.2f;
        setPad(1, "snare.wav", kSnare, 1, 0.5f);
        chunk.pads[1].settings.pitch = 0.7f;
        chunk.pads[1].settings.choke = 1;
        setPad(2, "hat.wav", kHat, 2, 0.8f);
        chunk.pads[2].settings.choke = 1;
        chunk.pads[2].settings.pitchDecay = 0.5f;
        chunk.pads[2].settings.ampDecay = 0.4f;
        setPad(3, "kick.wav", kKick, 3, 0.6f);
        chunk.pads[3].settings.volume = 0.9f;
        chunk.pads[3].settings.pitch = 0.35f;
        setPad(4, "missing.wav", kMissing, 0, 0.5f);
        std::strcpy(chunk.bankPath, (folder / "kit.kbk").c_str());
        // Pad 5 plays what the bank gave it; its path is the bank's, marked.
        std::strcpy(chunk.pads[5].path, "___5.wav");
        chunk.pads[5].settings.midiNote = kBankPad;
        chunk.pads[5].settings.output = 1;
    }

    void setPad(int pad, const std::string& file, int note, int output, float pan) {
        std::strcpy(chunk.pads[pad].path, (folder / file).c_str());
        chunk.pads[pad].settings.midiNote = note;
        chunk.pads[pad].settings.output = output;
        chunk.pads[pad].settings.pan = pan;
    }

    // Pad 5 of the bank holds a short tone; the others are empty.
    static void writeBank(const std::string& path) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return;
        kitformat::writeBankMagic(f);
        std::vector<float> tone(1200);
        for (size_t i = 0; i < tone.size(); i++) tone[i] = (i % 40 < 20) ? 0.5f : -0.5f;
        char field[kitformat::kPathField] = "pad5.wav";
        for (int i = 0; i < kitformat::kPads; i++) {
            kitformat::PadSettings s = kitformat::defaultSettings(i);
            if (i == 5)
                kitformat::writeBankPad(f, s, field, tone.data(), uint32_t(tone.size()));
            else
                kitformat::writeBankPad(f, s, nullptr, nullptr, 0);
        }
        std::fclose(f);
    }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out(kitformat::kChunkSize);
        kitformat::encodeChunk(chunk, out.data());
        return out;
    }
};

}  // namespace lv2test
