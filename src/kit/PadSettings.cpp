#include "kit/PadSettings.h"

kitformat::PadSettings padSettings(const Pad& p) {
    kitformat::PadSettings s;
    s.midiNote = p.midiNote;
    s.ampDecay = p.ampDecay;
    s.pan = p.pan;
    s.pitch = p.pitch;
    s.pitchDecay = p.pitchDecay;
    s.volume = p.volume;
    s.choke = p.choke;
    s.output = p.output;
    s.mute = p.mute ? 1 : 0;
    s.solo = padSolo(p) ? 1 : 0;
    return s;
}

void applyPadSettings(Pad& p, const kitformat::PadSettings& s) {
    p.midiNote = s.midiNote;
    p.ampDecay = s.ampDecay;
    p.pan = s.pan;
    p.pitch = s.pitch;
    p.pitchDecay = s.pitchDecay;
    p.volume = s.volume;
    p.choke = s.choke;
    p.output = s.output;
    p.mute = s.mute ? 1 : 0;
    setPadSolo(p, s.solo != 0);
}
