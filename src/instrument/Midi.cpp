#include "instrument/DrumInstrument.h"

VstInt32 DrumInstrument::processEvents(VstEvents*) { return 1; }

void DrumInstrument::noteOn(int, int, VstInt32) {}
