// What loaders put into pads, read and converted before any pad changes, so
// that the audio is held only while finished buffers are swapped in.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "formats/KitFormats.h"

class DrumInstrument;

// A pad's new sample and path; whatever no pad took over is released.
struct PadContents {
    float* samples = nullptr;
    int32_t length = 0;
    char* path = nullptr;

    PadContents() = default;
    ~PadContents() {
        std::free(samples);
        std::free(path);
    }
    PadContents(const PadContents&) = delete;
    PadContents& operator=(const PadContents&) = delete;
};

// A whole bank, ready to replace the kit.
struct BankContents {
    kitformat::PadSettings settings[kitformat::kPads];
    PadContents pads[kitformat::kPads];
};

// True when path and its terminator fit a pad's path buffer.
bool fitsPadPath(const char* path);

// Reads a WAV file into contents: the samples when the file can be read, the
// path always (so that an unreadable file still shows its name). No pad
// changes.
void readPadContents(const char* path, PadContents& contents);
// Empties the pad and hands it the contents. The caller holds the handshake.
void placePadContents(DrumInstrument& instrument, int padIndex, PadContents& contents);

// Reads a bank file; false (after saying so) when it is not a valid bank.
// No pad changes.
bool readBankContents(const char* fileName, BankContents& bank);
// Replaces every pad with the bank's and names the bank file. The caller
// holds the handshake.
void placeBankContents(DrumInstrument& instrument, const char* fileName, BankContents& bank);
