// Feeds arbitrary files to the bank reader.
#include "formats/KitFormats.h"
#include "fuzz/FuzzSupport.h"
#include "instrument/DrumInstrument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::QuietServices services;
    platform::setServices(&services);
    std::string path = fuzz::scratchFile(data, size, "bank.kbk");
    // The reader of files and the reader of memory agree on every input.
    kitformat::Bank fromFile, fromMemory;
    kitformat::BankRead read = kitformat::readBank(path.c_str(), fromFile);
    if (read != kitformat::parseBank(data, size, fromMemory)) __builtin_trap();
    // One instrument for the whole run: a bank read replaces every pad or
    // nothing, and building the editor for each input would slow the run.
    static DrumInstrument instrument(nullptr);
    int shown = services.messages;
    instrument.readBankFile(path.c_str());
    // Refused exactly when the reader refuses it, and then said so once.
    if (services.messages - shown != (read == kitformat::BankRead::ok ? 0 : 1)) __builtin_trap();
    return 0;
}
