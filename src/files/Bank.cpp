#include "instrument/DrumInstrument.h"

void DrumInstrument::importBank() {}
void DrumInstrument::readBankFile(const char*) {}
void DrumInstrument::exportBank() {}
