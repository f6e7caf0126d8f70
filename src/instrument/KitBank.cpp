// Sound bank files: a whole kit, settings and samples, in one file. The
// instrument's side: the dialogs and swapping a read bank in.
#include <cstring>

#include "files/LoadFolder.h"
#include "files/PadContents.h"
#include "instrument/DrumInstrument.h"
#include "kit/PadSettings.h"
#include "platform/Platform.h"

namespace {

const char kBankFilter[] = "Bank (*.kbk)\0*.kbk\0All Files (*.*)\0*.*\0";
const char kBankTitle[] = "Select a soundbank";

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

void DrumInstrument::placeBank(const char* fileName, BankContents& contents) {
    for (int i = 0; i < kNumPads; i++) {
        placePad(i, contents.pads[i]);
        applyPadSettings(pads[i], contents.settings[i]);
    }
    std::memset(bankPath, 0, kPathSize);
    std::strncpy(bankPath, fileName, kPathSize - 1);
    recountSolo();
}

void DrumInstrument::readBankFile(const char* fileName) {
    // Read and converted while the kit plays on; the audio is held only
    // while the whole new kit is swapped in.
    LoaderScope lock(*this, LoaderScope::kLockOnly);
    BankContents contents;
    if (!readBankContents(fileName, contents)) return;
    {
        LoaderScope swap(*this);
        placeBank(fileName, contents);
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

bool DrumInstrument::writeBankFile(const char* fileName) { return writeKitBank(fileName, pads); }
