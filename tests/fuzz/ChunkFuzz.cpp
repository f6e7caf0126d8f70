// Feeds arbitrary blocks to the settings chunk restore. Paths in the block
// are redirected to one scratch bank file so nothing outside is opened.
#include <cstring>
#include <vector>

#include "formats/KitFormats.h"
#include "fuzz/FuzzSupport.h"
#include "instrument/DrumInstrument.h"

namespace {

// Samples are not read from disk here; the bank path exercises the bank reader.
class Instrument : public DrumInstrument {
public:
    Instrument() : DrumInstrument(nullptr) {}
    void loadSampleFile(int, const char*) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::QuietServices services;
    platform::setServices(&services);
    std::vector<uint8_t> block(data, data + size);
    if (block.size() >= kitformat::kChunkSize) {
        block.resize(kitformat::kChunkSize);
        // The tail of the input, if any, becomes the bank file the chunk names.
        std::string bank = fuzz::scratchFile(data + kitformat::kChunkSize, size - kitformat::kChunkSize, "chunk.kbk");
        if (block[4]) std::memcpy(block.data() + 4, bank.c_str(), bank.size() + 1);
    }
    // One instrument for the whole run: a restore replaces every pad anyway,
    // and building the editor for each input would slow the run tenfold.
    static Instrument instrument;
    instrument.setChunk(block.data(), static_cast<VstInt32>(block.size()), false);
    void* out = nullptr;
    instrument.getChunk(&out, false);
    return 0;
}
