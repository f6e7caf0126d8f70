// The library's plug-in entry. Hosts look up VSTPluginMain first and then
// main; both names lead to the same function.
#include <new>

#include "host/Export.h"
#include "instrument/DrumInstrument.h"

extern "C" KZ_EXPORT AEffect* VSTCALL VSTPluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    DrumInstrument* instrument = new (std::nothrow) DrumInstrument(audioMaster);
    if (!instrument) return nullptr;
    if (!instrument->valid()) {
        delete instrument;
        return nullptr;
    }
    return instrument->getAeffect();
}

#if !defined(_WIN32)
// A shared object cannot define a C function called main; export the same
// code under that name at the assembler level.
asm(".globl main\n.type main, @function\n.set main, VSTPluginMain\n");
#endif
