#include <algorithm>
#include <cmath>

#include "instrument/DrumInstrument.h"

namespace {

const int kAllNotesOff = 123;
const int kFirstChokeSlot = kNumVoices - 2;  // slots 14 and 15: choke groups 1 and 2
// The renderer reads frames n - 1 .. n + 2 around the position n.
const int32_t kMinSampleFrames = 4;
// Start offsets stay whole numbers in a float position up to 2^24.
const VstInt32 kMaxStartOffset = 1 << 24;
const double kFallbackSampleRate = kPadSampleRate;

// The level curve shared by volume and velocity: 0 at 0, 1.96875 at 1.
double level(double x) { return std::pow(2.0, 6.0 * x - 5.0) - 0.03125; }

// Pad settings come from the editor, chunks and bank files; anything outside
// 0..1 (NaN included) is pulled back so that no voice gets a NaN or negative
// rate or position.
double unit(float x) { return x >= 0.0f ? (x <= 1.0f ? x : 1.0) : 0.0; }

// Per-frame multiplier that falls by about e^-(perSecond * amount) per second.
float decayFactor(double perSecond, float amount, double sampleRate) {
    return static_cast<float>(std::max(0.0, 1.0 - (1.0 / sampleRate) * perSecond * unit(amount)));
}

Voice* slotFor(Voice* voices, int32_t choke) {
    if (choke == 1 || choke == 2) return &voices[kFirstChokeSlot + choke - 1];
    for (int i = 0; i < kNumVoices; i++)
        if (!voices[i].active) return &voices[i];
    return nullptr;
}

// `toHostRate` turns a step through the stored sample into a step per output
// frame, so a sample keeps its pitch and length at every host rate; it is
// exactly 1 at the stored rate.
void startVoice(Voice& v, const Pad& p, int note, double velocityLevel, VstInt32 offset, double sampleRate,
                float toHostRate) {
    const double gain = level(unit(p.volume)) * velocityLevel;
    const double pan = unit(p.pan);
    v.midiNote = note;
    v.rate = static_cast<float>(std::pow(2.0, 2.0 * unit(p.pitch) - 1.0)) * toHostRate;
    v.gainLeft = static_cast<float>(gain * (1.0 - pan));
    v.gainRight = static_cast<float>(gain * pan);
    v.position = static_cast<float>(-std::min(std::max(offset, 0), kMaxStartOffset));
    v.rateFactor = decayFactor(7.0, p.pitchDecay, sampleRate);
    v.gainFactor = decayFactor(20.0, p.ampDecay, sampleRate);
    v.sampleData = p.sampleData;
    v.sampleLength = p.sampleLength;
    v.output = std::min(std::max(p.output, 0), kNumOutputs / 2 - 1);
    v.active = 1;
}

}  // namespace

VstInt32 DrumInstrument::processEvents(VstEvents* events) noexcept {
    audioBusy.store(1);
    if (!loading.load() && events) {
        for (VstInt32 i = 0; i < events->numEvents; i++) {
            const VstEvent* e = events->events[i];
            if (!e || e->type != kVstMidiType) continue;
            const char* midi = reinterpret_cast<const VstMidiEvent*>(e)->midiData;
            const int status = static_cast<unsigned char>(midi[0]) & 0xF0;
            const int data1 = midi[1] & 0x7F;
            const int data2 = midi[2] & 0x7F;
            if (status == 0x90 && data2 > 0) {
                noteOn(data1, data2, e->deltaFrames);
            } else if (status == 0xB0 && data1 == kAllNotesOff) {
                for (int v = 0; v < kNumVoices; v++) voices[v].active = 0;
            }
        }
    }
    audioBusy.store(0);
    return 1;
}

// Every pad on the note sounds, in pad order; a pad finds no slot only when
// all sixteen sound and it has no choke group (nothing is stolen).
void DrumInstrument::noteOn(int note, int velocity, VstInt32 deltaFrames) noexcept {
    const double velocityLevel = level(velocity / 127.0);
    const bool soloing = soloCount.load(std::memory_order_relaxed) != 0;
    const double rate = sampleRate > 0.0f ? sampleRate : kFallbackSampleRate;
    // A host rate below 1 Hz would make the step infinite (and then NaN).
    const float toHostRate = static_cast<float>(kPadSampleRate / std::max(rate, 1.0));
    for (int p = 0; p < kNumPads; p++) {
        const Pad& pad = pads[p];
        if (pad.midiNote != note || !pad.sampleData || pad.mute || (soloing && !padSolo(pad))) continue;
        if (pad.sampleLength < kMinSampleFrames) continue;
        Voice* v = slotFor(voices, pad.choke);
        if (v) startVoice(*v, pad, note, velocityLevel, deltaFrames, rate, toHostRate);
    }
}
