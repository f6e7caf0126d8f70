// Reading samples and banks into pad contents, and writing the pads out as
// a bank or a settings chunk. Nothing here touches a live instrument.
#include "files/PadContents.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "files/Wave.h"
#include "kit/PadSettings.h"
#include "platform/Platform.h"

namespace {
const char kBadBank[] = "Not a valid KZ-318 Bank File";
}

// A longer path is refused rather than cut into the name of some other file.
bool fitsPadPath(const char* path) {
    for (int i = 0; i < kPathSize; i++)
        if (!path[i]) return true;
    return false;
}

void readPadContents(const char* path, PadContents& contents) {
    uint32_t length = 0;
    if (readWaveFile(path, &contents.samples, &length) == kWaveOk) contents.length = int32_t(length);
    contents.path = static_cast<char*>(std::calloc(kPathSize, 1));
    if (contents.path) std::strcpy(contents.path, path);
}

void takePadContents(Pad& pad, PadContents& contents) {
    pad.sampleData = contents.samples;
    pad.sampleLength = contents.samples ? contents.length : 0;
    pad.samplePath = contents.path;
    contents.samples = nullptr;
    contents.path = nullptr;
}

bool readBankContents(const char* fileName, BankContents& contents) {
    kitformat::Bank bank;
    if (kitformat::readBank(fileName, bank) != kitformat::BankRead::ok) {
        platform::services().showMessage(kBadBank, "Error");
        return false;
    }
    bool allocated = true;
    for (int i = 0; i < kNumPads && allocated; i++) {
        kitformat::BankPad& b = bank.pads[i];
        PadContents& pad = contents.pads[i];
        contents.settings[i] = b.settings;
        if (b.pathField[0]) {
            pad.path = static_cast<char*>(std::malloc(kPathSize));
            allocated = pad.path != nullptr;
            if (allocated) {
                kitformat::readPathField(b.pathField, pad.path);
                kitformat::markBankPath(pad.path);
            }
        }
        // A pad counts its frames in 32 bits.
        size_t count = b.samples.size();
        if (count > size_t(INT32_MAX) || count > SIZE_MAX / sizeof(float)) allocated = false;
        if (allocated && count) {
            pad.samples = static_cast<float*>(std::malloc(sizeof(float) * count));
            allocated = pad.samples != nullptr;
            for (size_t k = 0; allocated && k < count; k++) pad.samples[k] = kitformat::bankSampleToFloat(b.samples[k]);
            pad.length = static_cast<int32_t>(count);
        }
        std::vector<int16_t>().swap(b.samples);  // converted: its memory goes now
    }
    if (!allocated) platform::services().showMessage(kBadBank, "Error");
    return allocated;
}

bool writeKitBank(const char* fileName, const Pad* pads) {
    // Under a name of its own, so a failed write never destroys the previous
    // kit and no other file is ever touched.
    char temporary[kPathSize + 64];
    std::FILE* f = platform::createFileBeside(fileName, temporary, sizeof temporary);
    if (!f) return false;
    bool ok = kitformat::writeBankMagic(f);
    for (int i = 0; i < kNumPads && ok; i++) {
        const Pad& p = pads[i];
        ok = kitformat::writeBankPad(f, padSettings(p), p.samplePath, p.sampleData,
                                     p.sampleData ? static_cast<uint32_t>(p.sampleLength) : 0);
    }
    ok = (std::fclose(f) == 0) && ok;
    if (ok) ok = platform::replaceFile(temporary, fileName);
    if (!ok) std::remove(temporary);
    return ok;
}

void encodeKitChunk(const Pad* pads, const char* bankPath, uint8_t* block) {
    kitformat::Chunk chunk;
    std::memcpy(chunk.bankPath, bankPath, kPathSize);
    for (int i = 0; i < kNumPads; i++) {
        if (pads[i].samplePath) std::memcpy(chunk.pads[i].path, pads[i].samplePath, kPathSize);
        chunk.pads[i].settings = padSettings(pads[i]);
    }
    kitformat::encodeChunk(chunk, block);
}
