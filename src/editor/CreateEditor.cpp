#include "instrument/DrumInstrument.h"

// The instrument runs without an editor until one is built for it.
void DrumInstrument::createEditor() {}
