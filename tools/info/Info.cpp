// Prints what a host sees when it loads a VST 2 plug-in binary: the record,
// the identity strings, the parameters and the output pins.
// Usage: kz318-info [PLUGIN]
#include <cstdio>
#include <cstring>
#include <string>

#include "pluginhost/PluginLoader.h"

namespace {

std::string fourCC(VstInt32 v) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
    return s;
}

std::string text(AEffect* e, VstInt32 opcode, VstInt32 index = 0) {
    char buffer[256] = {};
    vsthost::dispatch(e, opcode, index, 0, buffer);
    return buffer;
}

VstIntPtr VSTCALL host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kHostVersion : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string path = argc > 1 ? argv[1] : "build/linux/kz318.so";
    vsthost::Library library(path);
    if (!library.loaded()) {
        std::fprintf(stderr, "kz318-info: cannot load %s: %s\n", path.c_str(), library.error().c_str());
        return 1;
    }
    vsthost::EntryProc entry = vsthost::findEntry(library);
    AEffect* e = entry ? entry(host) : nullptr;
    if (!e) {
        std::fprintf(stderr, "kz318-info: %s has no VST 2 entry or refused to start\n", path.c_str());
        return 1;
    }
    std::printf("%s\n", path.c_str());
    std::printf("  effect   %s by %s (product %s, vendor version %d, VST %d)\n", text(e, effGetEffectName).c_str(),
                text(e, effGetVendorString).c_str(), text(e, effGetProductString).c_str(),
                static_cast<int>(vsthost::dispatch(e, effGetVendorVersion)),
                static_cast<int>(vsthost::dispatch(e, effGetVstVersion)));
    std::printf("  record   magic %s, id %s, version %d, flags 0x%X, category %d\n", fourCC(e->magic).c_str(),
                fourCC(e->uniqueID).c_str(), e->version, e->flags,
                static_cast<int>(vsthost::dispatch(e, effGetPlugCategory)));
    std::printf("  shape    %d programs, %d parameters, %d inputs, %d outputs\n", e->numPrograms, e->numParams,
                e->numInputs, e->numOutputs);
    std::printf("  params   ");
    for (int i = 0; i < e->numParams && i < 4; i++)
        std::printf("[%s = %s %s] ", text(e, effGetParamName, i).c_str(), text(e, effGetParamDisplay, i).c_str(),
                    text(e, effGetParamLabel, i).c_str());
    std::printf("...\n  outputs  ");
    for (int i = 0; i < e->numOutputs; i++) {
        VstPinProperties pin;
        std::memset(&pin, 0, sizeof(pin));
        if (vsthost::dispatch(e, effGetOutputProperties, i, 0, &pin)) std::printf("%s ", pin.label);
    }
    char canDo[] = "receiveVstMidiEvent";
    std::printf("\n  canDo    receiveVstMidiEvent = %d\n",
                static_cast<int>(vsthost::dispatch(e, effCanDo, 0, 0, canDo)));
    vsthost::dispatch(e, effClose);
    return 0;
}
