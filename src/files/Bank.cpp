// Sound bank files: a whole kit, settings and samples, in one file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "files/LoadFolder.h"
#include "files/PadContents.h"
#include "files/PadSettings.h"
#include "formats/KitFormats.h"
#include "instrument/DrumInstrument.h"
#include "platform/Platform.h"

namespace {

const char kBankFilter[] = "Bank (*.kbk)\0*.kbk\0All Files (*.*)\0*.*\0";
const char kBankTitle[] = "Select a soundbank";
const char kBadBank[] = "Not a valid KZ-318 Bank File";

bool endsWithBankExtension(const char* name) {
    size_t n = std::strlen(name);
    if (n < 4) return false;
    const char* ext = name + n - 4;
    return ext[0] == '.' && (ext[1] | 0x20) == 'k' && (ext[2] | 0x20) == 'b' && (ext[3] | 0x20) == 'k';
}

// Both bank dialogs open in the remembered load folder.
platform::FileDialog bankDialog(char (&folder)[kLoadFolderSize], bool save) {
    lookUpLoadFolder(folder);
    return {kBankFilter, kBankTitle, folder, save};
}

}  // namespace

void DrumInstrument::importBank() {
    if (loading || fileDialogOpen()) return;
    char folder[kLoadFolderSize];
    openFileDialog(bankDialog(folder, false), DialogUse::importBank);
}

void DrumInstrument::finishImport(const char* file) {
    if (file) readBankFile(file);
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
                std::memset(pad.path, '_', 3);
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

void placeBankContents(DrumInstrument& instrument, const char* fileName, BankContents& contents) {
    for (int i = 0; i < kNumPads; i++) {
        placePadContents(instrument, i, contents.pads[i]);
        applyPadSettings(instrument.pads[i], contents.settings[i]);
    }
    std::memset(instrument.bankPath, 0, kPathSize);
    std::strncpy(instrument.bankPath, fileName, kPathSize - 1);
    instrument.recountSolo();
}

void DrumInstrument::readBankFile(const char* fileName) {
    // Read and converted while the kit plays on; the audio is held only
    // while the whole new kit is swapped in.
    LoaderScope lock(*this, LoaderScope::kLockOnly);
    BankContents contents;
    if (!readBankContents(fileName, contents)) return;
    {
        LoaderScope swap(*this);
        placeBankContents(*this, fileName, contents);
    }
    if (padEditor()) padEditor()->refreshFromPads();
}

void DrumInstrument::exportBank() {
    if (fileDialogOpen()) return;
    char folder[kLoadFolderSize];
    openFileDialog(bankDialog(folder, true), DialogUse::exportBank);
}

void DrumInstrument::finishExport(const char* file) {
    if (!file) return;
    char name[kDialogPathSize] = {};
    std::strncpy(name, file, sizeof name - 1);
    if (!endsWithBankExtension(name)) {
        if (std::strlen(name) + 4 >= sizeof(name)) {
            platform::services().showMessage("The bank file name is too long.", "KZ-318 Error");
            return;
        }
        std::strcat(name, ".kbk");
    }
    LoaderScope scope(*this, LoaderScope::kLockOnly);
    if (!writeBankFile(name)) platform::services().showMessage("Could not write the bank file.", "KZ-318 Error");
}

bool DrumInstrument::writeBankFile(const char* fileName) {
    // Written beside the target under a name of its own and moved over it
    // only when complete, so a failed write never destroys the previous kit
    // and no other file is ever touched.
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
