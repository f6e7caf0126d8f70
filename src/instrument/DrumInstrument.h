// The plug-in object: sixteen pads, sixteen voices, and the answers to the host.
//
// Thread tags on the declarations below:
//   [audio]  the host's audio thread: never allocates, locks or waits
//   [editor] the thread that opens, idles and closes the editor
//   [host]   any other thread of the host (chunks may come from one that is
//            neither audio nor editor)
//   [any]    any thread
// Loaders ([editor] or [host]) serialise on the loader mutex and change
// sample data only while `loading` holds the audio thread off (LoaderScope).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "host/EffectBase.h"
#include "kit/Pad.h"
#include "instrument/PadEditor.h"
#include "platform/Platform.h"

struct BankContents;
struct PadContents;

class DrumInstrument : public EffectBaseExt {
public:
    explicit DrumInstrument(audioMasterCallback audioMaster);  // [host]
    ~DrumInstrument() override;                                // [host] after the audio has stopped

    // False when one of the constructor's own tables could not be allocated;
    // the entry then destroys the object instead of handing it to the host.
    bool valid() const { return pads && voices && bankPath; }  // [any]

    void setParameter(VstInt32 index, float value) override;                                          // [any]
    float getParameter(VstInt32 index) override;                                                      // [any]
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept override;           // [audio]
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) noexcept override;  // [audio]
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    // [editor] or [host]: loaders, serialised with the other loaders.
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    void resume() override;                                       // [host] while the audio is stopped
    VstInt32 processEvents(VstEvents* events) noexcept override;  // [audio]
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;  // these five and the labels above: [any]

    virtual void loadSampleDialog(int padIndex);  // [editor]
    // The loaders below: [editor] or [host].
    virtual void loadSampleFile(int padIndex, const char* fileName);
    virtual void unloadPad(int padIndex);

    void clearPad(int padIndex);
    void importBank();  // [editor]
    void readBankFile(const char* fileName);
    void exportBank();  // [editor]
    // Writes the kit as a bank file; false when it could not be written.
    bool writeBankFile(const char* fileName);
    // Counts the solo pads again (after a kit has been replaced) and stores
    // the count once: a note-on never sees a count in the making.
    void recountSolo();  // [editor] or a loader
    // Sets a pad's solo flag and counts again.
    void setSolo(int padIndex, bool on);  // [editor]

    // The LOAD, IMPORT and EXPORT dialogs do not hold up the editor's
    // thread: at most one is open, and its operation runs once a poll (the
    // editor's idle) finds the answer. A dialog that answers at once
    // finishes before its opener returns.
    void pollFileDialog();  // [editor]
    // Closes the open dialog, if any, and drops its operation.
    void dropFileDialog() { fileDialog.reset(); }                  // [editor]
    bool fileDialogOpen() const { return fileDialog != nullptr; }  // [editor]
    // The dialogs' path buffer (nMaxFile).
    static constexpr size_t kDialogPathSize = 200;

    PadEditor* padEditor() { return static_cast<PadEditor*>(editor); }  // [any]
    // The instrument owns its editor: one that replaces another destroys it. [host]
    void attachEditor(PadEditor* e) {
        if (editor != e) delete editor;
        setEditor(e);
    }

    // Sample data, paths and lengths change only under the handshake. The
    // editor writes the other pad fields directly: each is one aligned
    // 32-bit value written whole, read by the audio thread at the next note.
    Pad* pads;
    std::atomic<int32_t> soloCount;  // stored by recountSolo only ([editor] or a loader), read at note-on
    char* bankPath;                  // loaders only
    std::atomic<uint8_t> audioBusy;  // set by the audio thread around each call
    Voice* voices;                   // [audio]; loaders only clear `active` under the handshake
    std::atomic<uint8_t> loading;    // raised by a loader while it swaps samples

private:
    friend class LoaderScope;

    enum class DialogUse { loadSample, importBank, exportBank };
    void openFileDialog(const platform::FileDialog& dialog, DialogUse use, int padIndex = 0);
    // The ends of the three dialogs; file is null when cancelled.
    void finishFileDialog(const char* file);
    void finishSampleDialog(int padIndex, const char* file);
    void finishImport(const char* file);
    void finishExport(const char* file);
    // Reads the file while the kit plays on, then swaps it in.
    void loadPadFile(int padIndex, const char* path);
    // Under the handshake: empties the pad and hands it the contents; replaces
    // every pad with the bank's and names the bank file.
    void placePad(int padIndex, PadContents& contents);
    void placeBank(const char* fileName, BankContents& bank);

    // Renders all voices into outputs; the audio side of the handshake is
    // taken by the callers.
    void renderVoices(float** outputs, VstInt32 sampleFrames) noexcept;  // [audio]
    void noteOn(int note, int velocity, VstInt32 deltaFrames) noexcept;  // [audio]

    // Serialises loaders and the bank export; see LoaderScope.
    std::recursive_mutex loaderMutex;
    std::mutex soloMutex;  // one recount at a time
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
// count. [editor] or [host]; never on the audio thread.
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
