// Sound bank files: a whole kit, settings and samples, in one file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/LoadFolder.h"
#include "files/PadSettings.h"
#include "formats/KitFormats.h"
#include "instrument/DrumInstrument.h"
#include "platform/Platform.h"

namespace {

const char kBankFilter[] = "Bank (*.kbk)\0*.kbk\0All Files (*.*)\0*.*\0";
const char kBankTitle[] = "Select a soundbank";
const char kBadBank[] = "Not a valid KZ-318 Bank File";

// What one pad receives from a bank, allocated before any pad changes.
struct PadLoad {
    char* path = nullptr;
    float* samples = nullptr;
};

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
    if (!file) return;
    LoaderScope scope(*this);
    readBankFile(file);
}

void DrumInstrument::readBankFile(const char* fileName) {
    LoaderScope scope(*this);
    kitformat::Bank bank;
    if (kitformat::readBank(fileName, bank) != kitformat::BankRead::ok) {
        platform::services().showMessage(kBadBank, "Error");
        return;
    }
    PadLoad load[kNumPads];
    bool allocated = true;
    for (int i = 0; i < kNumPads && allocated; i++) {
        const kitformat::BankPad& b = bank.pads[i];
        if (b.pathField[0]) {
            load[i].path = static_cast<char*>(std::malloc(kPathSize));
            allocated = load[i].path != nullptr;
            if (allocated) {
                kitformat::readPathField(b.pathField, load[i].path);
                std::memset(load[i].path, '_', 3);
            }
        }
        // A pad counts its frames in 32 bits.
        size_t count = b.samples.size();
        if (count > size_t(INT32_MAX) || count > SIZE_MAX / sizeof(float)) allocated = false;
        if (allocated && !b.samples.empty()) {
            load[i].samples = static_cast<float*>(std::malloc(sizeof(float) * count));
            allocated = load[i].samples != nullptr;
            for (size_t k = 0; allocated && k < count; k++)
                load[i].samples[k] = kitformat::bankSampleToFloat(b.samples[k]);
        }
    }
    if (!allocated) {
        for (PadLoad& l : load) {
            std::free(l.path);
            std::free(l.samples);
        }
        platform::services().showMessage(kBadBank, "Error");
        return;
    }
    for (int i = 0; i < kNumPads; i++) {
        clearPad(i);
        applyPadSettings(pads[i], bank.pads[i].settings);
        pads[i].samplePath = load[i].path;
        pads[i].sampleData = load[i].samples;
        pads[i].sampleLength = load[i].samples ? static_cast<int32_t>(bank.pads[i].samples.size()) : 0;
    }
    std::memset(bankPath, 0, kPathSize);
    std::strncpy(bankPath, fileName, kPathSize - 1);
    recountSolo();
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
