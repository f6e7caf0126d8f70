// The instrument as the plug-in assembles it: with its editor attached.
#pragma once

#include <new>

#include "editor/InstrumentEditor.h"
#include "instrument/DrumInstrument.h"

namespace testsupport {

struct EditedInstrument : DrumInstrument {
    explicit EditedInstrument(audioMasterCallback audioMaster) : DrumInstrument(audioMaster) {
        new (std::nothrow) InstrumentEditor(this);  // registers itself
    }
};

}  // namespace testsupport
