#include "plugin/Plugin.h"

#include <new>

#include "editor/InstrumentEditor.h"
#include "instrument/DrumInstrument.h"

AEffect* createPlugin(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    DrumInstrument* instrument = new (std::nothrow) DrumInstrument(audioMaster);
    if (!instrument) return nullptr;
    if (!instrument->valid()) {
        delete instrument;
        return nullptr;
    }
    // The editor registers itself; without memory for it the instrument runs
    // without an editor.
    new (std::nothrow) InstrumentEditor(instrument);
    return instrument->getAeffect();
}
