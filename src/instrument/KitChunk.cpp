// The settings chunk: the whole kit's settings and file paths, saved with
// the host's project and restored from it.
#include <cstdlib>
#include <cstring>

#include "files/PadContents.h"
#include "formats/KitFormats.h"
#include "instrument/DrumInstrument.h"
#include "kit/PadSettings.h"
#include "platform/Platform.h"

namespace {

// Marked paths keep what the bank gave the pad; a path too long for a pad is
// left alone.
bool fromSampleFile(const char* path) { return path[0] && !kitformat::isBankMarked(path) && fitsPadPath(path); }

}  // namespace

VstInt32 DrumInstrument::getChunk(void** data, bool) {
    if (!data) return 0;
    LoaderScope scope(*this);
    uint8_t* block = static_cast<uint8_t*>(std::malloc(kitformat::kChunkSize));
    if (!block) return 0;
    encodeKitChunk(pads, bankPath, block);
    // The host reads the block until its next request; the previous one goes now.
    std::free(lastChunk);
    lastChunk = reinterpret_cast<char*>(block);
    *data = block;
    return static_cast<VstInt32>(kitformat::kChunkSize);
}

VstInt32 DrumInstrument::setChunk(void* data, VstInt32 byteSize, bool) {
    if (!data || byteSize != static_cast<VstInt32>(kitformat::kChunkSize)) return 0;
    LoaderScope lock(*this, LoaderScope::kLockOnly);
    kitformat::Chunk chunk;
    if (!kitformat::decodeChunk(static_cast<const uint8_t*>(data), kitformat::kChunkSize, chunk)) {
        platform::services().showMessage("Not a valid KZ318 settings file.", "KZ-318 Error");
        return 0;
    }
    // Every file is read and converted while the old kit plays on; the audio
    // is held only while the finished kit is swapped in, in one go.
    BankContents bank;
    bool bankRead = chunk.bankPath[0] && readBankContents(chunk.bankPath, bank);
    PadContents samples[kNumPads];
    for (int i = 0; i < kNumPads; i++)
        if (fromSampleFile(chunk.pads[i].path)) readPadContents(chunk.pads[i].path, samples[i]);
    {
        LoaderScope swap(*this);
        if (bankRead) placeBank(chunk.bankPath, bank);
        for (int i = 0; i < kNumPads; i++) {
            const char* path = chunk.pads[i].path;
            if (!path[0])
                clearPad(i);
            else if (fromSampleFile(path))
                placePad(i, samples[i]);
            applyPadSettings(pads[i], chunk.pads[i].settings);
        }
        recountSolo();
    }
    if (padEditor()) padEditor()->refreshFromPads();
    return 0;
}
