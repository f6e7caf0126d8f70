// The file dialogs of LOAD, IMPORT and EXPORT, which stay open while the
// host goes on; each finishes its operation once its answer is there.
#include "instrument/DrumInstrument.h"

void DrumInstrument::openFileDialog(const platform::FileDialog& dialog, DialogUse use, int padIndex) {
    fileDialogUse = use;
    fileDialogPad = padIndex;
    fileDialog = platform::services().startFileDialog(dialog, kDialogPathSize);
    if (fileDialog)
        pollFileDialog();
    else
        finishFileDialog(nullptr);
}

void DrumInstrument::pollFileDialog() {
    if (!fileDialog) return;
    char path[kDialogPathSize] = {};
    platform::PendingDialog::State state = fileDialog->poll(path);
    if (state == platform::PendingDialog::kOpen) return;
    fileDialog.reset();
    finishFileDialog(state == platform::PendingDialog::kChosen ? path : nullptr);
}

void DrumInstrument::finishFileDialog(const char* file) {
    switch (fileDialogUse) {
        case DialogUse::loadSample: finishSampleDialog(fileDialogPad, file); break;
        case DialogUse::importBank: finishImport(file); break;
        case DialogUse::exportBank: finishExport(file); break;
    }
}
