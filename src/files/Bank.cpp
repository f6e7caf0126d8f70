// Sound bank files: a whole kit, settings and samples, in one file.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "files/LoadFolder.h"
#include "files/PadSettings.h"
#include "formats/KitFormats.h"
#include "instrument/DrumInstrument.h"
#include "platform/Platform.h"

namespace {

const char kBankFilter[] = "Bank (*.kbk)\0*.kbk\0All Files (*.*)\0*.*\0";
const char kBankTitle[] = "Select a soundbank";
const char kBadBank[] = "Not a valid KZ-318 Bank File";
const size_t kDialogFile = 200;

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

bool chooseBankFile(char* file, bool save) {
    char folder[kLoadFolderSize];
    lookUpLoadFolder(folder);
    platform::FileDialog dialog{kBankFilter, kBankTitle, folder, save};
    return platform::services().chooseFile(dialog, file, kDialogFile);
}

}  // namespace

void DrumInstrument::importBank() {
    if (loading) return;
    char file[kDialogFile] = {};
    if (!chooseBankFile(file, false)) return;
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
        if (allocated && !b.samples.empty()) {
            load[i].samples = static_cast<float*>(std::malloc(sizeof(float) * b.samples.size()));
            allocated = load[i].samples != nullptr;
            for (size_t k = 0; allocated && k < b.samples.size(); k++)
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
    char name[kDialogFile] = {};
    if (!chooseBankFile(name, true)) return;
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
    // Written beside the target and moved over it only when complete, so a
    // failed write never destroys the previous kit.
    std::string temporary = std::string(fileName) + ".tmp";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    bool ok = kitformat::writeBankMagic(f);
    for (int i = 0; i < kNumPads && ok; i++) {
        const Pad& p = pads[i];
        ok = kitformat::writeBankPad(f, padSettings(p), p.samplePath, p.sampleData,
                                     p.sampleData ? static_cast<uint32_t>(p.sampleLength) : 0);
    }
    ok = (std::fclose(f) == 0) && ok;
    if (ok) ok = platform::replaceFile(temporary.c_str(), fileName);
    if (!ok) std::remove(temporary.c_str());
    return ok;
}
