// Loading a WAV file into a pad and emptying it again, and the loader side
// of the handshake with the audio thread. The files themselves are read by
// the files layer.
#include <cstdlib>
#include <cstring>

#include "files/LoadFolder.h"
#include "files/PadContents.h"
#include "instrument/DrumInstrument.h"
#include "platform/Platform.h"

namespace {

const char kWaveFilter[] = "Wave (*.wav)\0*.wav\0All Files (*.*)\0*.*\0";
const char kWaveTitle[] = "Select a WAV file";

bool validPad(int padIndex) { return padIndex >= 0 && padIndex < kNumPads; }

void refreshEditor(DrumInstrument& instrument) {
    if (PadEditor* editor = instrument.padEditor()) editor->refreshFromPads();
}

}  // namespace

// The file is read while the kit plays on; the audio is held only for the
// swap.
void DrumInstrument::loadPadFile(int padIndex, const char* path) {
    LoaderScope lock(*this, LoaderScope::kLockOnly);
    PadContents contents;
    readPadContents(path, contents);
    LoaderScope swap(*this);
    placePad(padIndex, contents);
}

void DrumInstrument::placePad(int padIndex, PadContents& contents) {
    clearPad(padIndex);
    takePadContents(pads[padIndex], contents);
}

LoaderScope::LoaderScope(DrumInstrument& instrument, Mode mode)
    : instrument(instrument), stoppedAudio(false), holds(true) {
    if (mode == kTryLock) {
        holds = instrument.loaderMutex.try_lock();
        return;
    }
    instrument.loaderMutex.lock();
    if (mode == kStopAudio && !instrument.audioStopped) {
        instrument.loading.store(1);
        while (instrument.audioBusy.load()) platform::yieldProcessor();
        instrument.audioStopped = stoppedAudio = true;
    }
}

LoaderScope::~LoaderScope() {
    if (!holds) return;
    if (stoppedAudio) {
        instrument.audioStopped = false;
        instrument.loading.store(0);
    }
    instrument.loaderMutex.unlock();
}

void DrumInstrument::loadSampleDialog(int padIndex) {
    if (loading.load() || !validPad(padIndex) || fileDialogOpen()) return;
    char folder[kLoadFolderSize];
    lookUpLoadFolder(folder);
    openFileDialog({kWaveFilter, kWaveTitle, folder, false}, DialogUse::loadSample, padIndex);
}

void DrumInstrument::finishSampleDialog(int padIndex, const char* file) {
    if (file) {
        loadPadFile(padIndex, file);
        rememberFolderOf(file);
    }
    refreshEditor(*this);
}

void DrumInstrument::loadSampleFile(int padIndex, const char* fileName) {
    if (!validPad(padIndex) || !fileName || !fitsPadPath(fileName)) return;
    loadPadFile(padIndex, fileName);
    refreshEditor(*this);
}

void DrumInstrument::unloadPad(int padIndex) {
    if (!validPad(padIndex)) return;
    LoaderScope scope(*this);
    clearPad(padIndex);
}

void DrumInstrument::clearPad(int padIndex) {
    if (!validPad(padIndex)) return;
    Pad& pad = pads[padIndex];
    if (pad.sampleData) {
        for (int v = 0; v < kNumVoices; v++)
            if (voices[v].sampleData == pad.sampleData) voices[v].active = 0;
        std::free(pad.sampleData);
        pad.sampleData = nullptr;
    }
    pad.sampleLength = 0;
    std::free(pad.samplePath);
    pad.samplePath = nullptr;
    if (PadEditor* editor = padEditor()) editor->setPadName(padIndex, " < none > ");
}
