// Feeds arbitrary files to the bank reader.
#include "fuzz/FuzzSupport.h"
#include "instrument/DrumInstrument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::QuietServices services;
    platform::setServices(&services);
    std::string path = fuzz::scratchFile(data, size, "bank.kbk");
    // One instrument for the whole run: a bank read replaces every pad or
    // nothing, and building the editor for each input would slow the run.
    static DrumInstrument instrument(nullptr);
    instrument.readBankFile(path.c_str());
    return 0;
}
