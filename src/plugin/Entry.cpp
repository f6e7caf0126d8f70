// The library's VST 2 entry. Hosts look up VSTPluginMain first and then
// main; both names lead to the same function.
#include "host/Export.h"
#include "plugin/Plugin.h"

extern "C" KZ_EXPORT AEffect* VSTCALL VSTPluginMain(audioMasterCallback audioMaster) {
    return createPlugin(audioMaster);
}

#if !defined(_WIN32)
// A shared object cannot define a C function called main; export the same
// code under that name at the assembler level.
asm(".globl main\n.type main, @function\n.set main, VSTPluginMain\n");
#endif
