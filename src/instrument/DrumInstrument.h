// The plug-in object: sixteen pads, sixteen voices, and the answers to the host.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "host/EffectBase.h"
#include "instrument/Pad.h"
#include "instrument/PadEditor.h"
#include "platform/Platform.h"

class DrumInstrument : public EffectBaseExt {
public:
    explicit DrumInstrument(audioMasterCallback audioMaster);
    ~DrumInstrument() override;

    // False when one of the constructor's own tables could not be allocated;
    // the entry then destroys the object instead of handing it to the host.
    bool valid() const { return pads && voices && bankPath; }

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    void resume() override;
    VstInt32 processEvents(VstEvents* events) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;

    virtual void loadSampleDialog(int padIndex);
    virtual void loadSampleFile(int padIndex, const char* fileName);
    virtual void unloadPad(int padIndex);

    void clearPad(int padIndex);
    void importBank();
    void readBankFile(const char* fileName);
    void exportBank();
    // Writes the kit as a bank file; false when it could not be written.
    bool writeBankFile(const char* fileName);
    // Counts the solo pads again (after a kit has been replaced).
    void recountSolo();

    // The LOAD, IMPORT and EXPORT dialogs do not hold up the editor's
    // thread: at most one is open, and its operation runs once a poll (the
    // editor's idle) finds the answer. A dialog that answers at once
    // finishes before its opener returns.
    void pollFileDialog();
    // Closes the open dialog, if any, and drops its operation.
    void dropFileDialog() { fileDialog.reset(); }
    bool fileDialogOpen() const { return fileDialog != nullptr; }
    // The dialogs' path buffer (nMaxFile).
    static constexpr size_t kDialogPathSize = 200;

    PadEditor* padEditor() { return static_cast<PadEditor*>(editor); }
    // The instrument owns its editor: one that replaces another destroys it.
    void attachEditor(PadEditor* e) {
        if (editor != e) delete editor;
        setEditor(e);
    }

    Pad* pads;
    int32_t soloCount;
    char* bankPath;
    std::atomic<uint8_t> audioBusy;
    Voice* voices;
    std::atomic<uint8_t> loading;

private:
    friend class LoaderScope;

    enum class DialogUse { loadSample, importBank, exportBank };
    void openFileDialog(const platform::FileDialog& dialog, DialogUse use, int padIndex = 0);
    // The ends of the three dialogs; file is null when cancelled.
    void finishFileDialog(const char* file);
    void finishSampleDialog(int padIndex, const char* file);
    void finishImport(const char* file);
    void finishExport(const char* file);

    // Creates the editor and registers it; defined by the editor side.
    void createEditor();

    // Renders all voices into outputs; the audio side of the handshake is
    // taken by the callers.
    void renderVoices(float** outputs, VstInt32 sampleFrames);
    void noteOn(int note, int velocity, VstInt32 deltaFrames);

    // Serialises loaders and the bank export; see LoaderScope.
    std::recursive_mutex loaderMutex;
    bool audioStopped = false;  // held by an open LoaderScope; guarded by loaderMutex
    char* lastChunk = nullptr;
    // Touched on the editor's thread only.
    std::unique_ptr<platform::PendingDialog> fileDialog;
    DialogUse fileDialogUse = DialogUse::loadSample;
    int fileDialogPad = 0;
};

// Loader side of the two-flag handshake. Every scope holds the (recursive)
// loader mutex, so no two loaders, nor a loader and the bank export, overlap.
// The first scope that stops the audio raises `loading` and waits for the
// audio thread to leave; it lowers `loading` again when it ends, before the
// mutex is released. Nested scopes (a chunk restore reading a bank) only
// count.
class LoaderScope {
public:
    enum Mode {
        kStopAudio,  // the scope changes pad samples
        kLockOnly,   // the scope only reads them (the bank export)
        kTryLock,    // as kLockOnly, but gives up at once while another thread holds the lock
    };
    explicit LoaderScope(DrumInstrument& instrument, Mode mode = kStopAudio);
    // False when a kTryLock scope did not get the lock.
    bool held() const { return holds; }
    ~LoaderScope();
    LoaderScope(const LoaderScope&) = delete;
    LoaderScope& operator=(const LoaderScope&) = delete;

private:
    DrumInstrument& instrument;
    bool stoppedAudio;
    bool holds;
};
