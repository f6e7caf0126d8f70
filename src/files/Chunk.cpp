#include "instrument/DrumInstrument.h"

VstInt32 DrumInstrument::getChunk(void**, bool) { return 0; }
VstInt32 DrumInstrument::setChunk(void*, VstInt32, bool) { return 0; }
