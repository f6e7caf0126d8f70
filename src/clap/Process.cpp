#include <cmath>

#include "clap/Instance.h"

namespace clapface {

namespace {

const uint8_t kNoteOn = 0x90;
const uint8_t kController = 0xB0;
const uint8_t kAllNotesOff = 123;

// The MIDI velocity of a CLAP velocity: nearest step, at least 1 when above 0.
uint8_t midiVelocity(double velocity) noexcept {
    if (!(velocity > 0.0)) return 0;
    const double steps = std::round(velocity * 127.0);
    return steps < 1.0 ? 1 : steps > 127.0 ? 127 : uint8_t(steps);
}

}  // namespace

bool midiFor(const clap::EventHeader& event, uint8_t message[3]) noexcept {
    if (event.spaceId != clap::kCoreEventSpace) return false;
    if (event.type == clap::kEventMidi && event.size >= sizeof(clap::EventMidi)) {
        const clap::EventMidi& midi = reinterpret_cast<const clap::EventMidi&>(event);
        for (int i = 0; i < 3; i++) message[i] = midi.data[i];
        return true;
    }
    if (event.size < sizeof(clap::EventNote)) return false;
    const clap::EventNote& note = reinterpret_cast<const clap::EventNote&>(event);
    if (event.type == clap::kEventNoteOn) {
        const uint8_t velocity = midiVelocity(note.velocity);
        if (note.key < 0 || note.key > 127 || note.channel > 15 || velocity == 0) return false;
        message[0] = uint8_t(kNoteOn | (note.channel < 0 ? 0 : note.channel));
        message[1] = uint8_t(note.key);
        message[2] = velocity;
        return true;
    }
    // Pads play to their end: only a choke of everything stops them.
    if (event.type == clap::kEventNoteChoke && note.key == -1 && note.channel == -1) {
        message[0] = kController;
        message[1] = kAllNotesOff;
        message[2] = 0;
        return true;
    }
    return false;
}

int32_t processBlock(Instance& in, const clap::Process& p) noexcept {
    float* outputs[kAudioOutputs] = {};
    for (uint32_t port = 0; port < kOutputPorts && port < p.audioOutputsCount && p.audioOutputs; port++) {
        clap::AudioBuffer& buffer = p.audioOutputs[port];
        if (!buffer.data32) continue;
        for (uint32_t c = 0; c < 2 && c < buffer.channelCount; c++) outputs[2 * port + c] = buffer.data32[c];
        buffer.constantMask = 0;
    }
    in.batcher.begin(in.effect, outputs, p.framesCount);
    const clap::InputEvents* events = p.inEvents;
    const uint32_t count = events && events->size ? events->size(events) : 0;
    for (uint32_t i = 0; i < count; i++) {
        const clap::EventHeader* event = events->get(events, i);
        uint8_t message[3];
        if (event && midiFor(*event, message)) in.batcher.add(event->time, message, 3);
    }
    in.batcher.finish();
    return clap::kProcessContinue;
}

}  // namespace clapface
