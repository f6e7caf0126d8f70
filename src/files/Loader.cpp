// Loading a WAV file into a pad and emptying it again, and the loader side
// of the handshake with the audio thread.
#include <cstdlib>
#include <cstring>

#include "files/LoadFolder.h"
#include "files/Wave.h"
#include "instrument/DrumInstrument.h"
#include "platform/Platform.h"

namespace {

const char kWaveFilter[] = "Wave (*.wav)\0*.wav\0All Files (*.*)\0*.*\0";
const char kWaveTitle[] = "Select a WAV file";

bool validPad(int padIndex) { return padIndex >= 0 && padIndex < kNumPads; }

// True when path and its terminator fit a pad's path buffer: a longer path
// is refused rather than cut into the name of some other file.
bool fitsPathBuffer(const char* path) {
    for (int i = 0; i < kPathSize; i++)
        if (!path[i]) return true;
    return false;
}

// Empties the pad, then gives it the file's samples (when it can be read)
// and the path (always, so that an unreadable file still shows its name).
void fillPad(DrumInstrument& instrument, int padIndex, const char* path) {
    instrument.clearPad(padIndex);
    Pad& pad = instrument.pads[padIndex];
    uint32_t length = 0;
    if (readWaveFile(path, &pad.sampleData, &length) == kWaveOk) pad.sampleLength = int32_t(length);
    pad.samplePath = static_cast<char*>(std::calloc(kPathSize, 1));
    if (pad.samplePath) std::strcpy(pad.samplePath, path);
}

void refreshEditor(DrumInstrument& instrument) {
    if (PadEditor* editor = instrument.padEditor()) editor->refreshFromPads();
}

}  // namespace

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
        {
            LoaderScope scope(*this);
            fillPad(*this, padIndex, file);
        }
        rememberFolderOf(file);
    }
    refreshEditor(*this);
}

void DrumInstrument::loadSampleFile(int padIndex, const char* fileName) {
    if (!validPad(padIndex) || !fileName || !fitsPathBuffer(fileName)) return;
    // Inside a chunk restore this only counts; called on its own it stops
    // the audio itself.
    LoaderScope scope(*this);
    fillPad(*this, padIndex, fileName);
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
