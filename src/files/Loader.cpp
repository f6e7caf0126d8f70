#include "instrument/DrumInstrument.h"

LoaderScope::LoaderScope(DrumInstrument& instrument, Mode) : instrument(instrument) {}
LoaderScope::~LoaderScope() {}

void DrumInstrument::loadSampleDialog(int) {}
void DrumInstrument::loadSampleFile(int, const char*) {}
void DrumInstrument::unloadPad(int) {}
void DrumInstrument::clearPad(int) {}
