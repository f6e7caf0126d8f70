#include <new>

#include "editor/InstrumentEditor.h"
#include "instrument/DrumInstrument.h"

// The editor registers itself with the instrument; without memory for it the
// instrument runs without an editor.
void DrumInstrument::createEditor() { new (std::nothrow) InstrumentEditor(this); }
