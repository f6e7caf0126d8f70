// What loaders put into pads, read and converted before any pad changes, so
// that the audio is held only while finished buffers are swapped in.
//
// Threads: everything here runs on a loader's thread ([editor] or [host]),
// never on the audio thread: it allocates, reads files and may show a
// message. Only takePadContents touches a pad the audio reads, and only
// under the caller's handshake.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "formats/KitFormats.h"
#include "kit/Pad.h"

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
// Hands the contents to a pad whose sample and path are already released.
// The caller holds the handshake.
void takePadContents(Pad& pad, PadContents& contents);

// Reads a bank file; false (after saying so) when it is not a valid bank.
// No pad changes.
bool readBankContents(const char* fileName, BankContents& bank);

// Writes the pads as a bank file; false when it could not be written. The
// file is written beside the target and moved over it only when complete.
bool writeKitBank(const char* fileName, const Pad* pads);

// Encodes the pads and the bank path as a settings chunk of
// kitformat::kChunkSize bytes.
void encodeKitChunk(const Pad* pads, const char* bankPath, uint8_t* block);
