#include "support/Vst2Reference.h"

#include <cstring>

namespace testhost {

Vst2Reference::Vst2Reference(const std::string& path, double rate, int maxBlock) : library(path) {
    EntryProc entry = library.loaded() ? findEntry(library) : nullptr;
    effect = entry ? entry(hostCallback) : nullptr;
    if (!effect) return;
    dispatch(effect, effOpen);
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    dispatch(effect, effSetBlockSize, 0, maxBlock);
    dispatch(effect, effMainsChanged, 0, 1);
}

Vst2Reference::~Vst2Reference() {
    if (!effect) return;
    dispatch(effect, effMainsChanged, 0, 0);
    dispatch(effect, effClose);
}

void Vst2Reference::play(uint32_t frames, float* const* outputs, const std::vector<MidiAt>& events) {
    if (!events.empty()) {
        std::vector<VstMidiEvent> midi(events.size());
        // VstEvents ends in a nominal array of two pointers; the rest follows it.
        std::vector<char> room(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
        VstEvents* list = reinterpret_cast<VstEvents*>(room.data());
        list->numEvents = static_cast<VstInt32>(events.size());
        VstEvent** slots = list->events;
        for (size_t i = 0; i < events.size(); i++) {
            std::memset(&midi[i], 0, sizeof(VstMidiEvent));
            midi[i].type = kVstMidiType;
            midi[i].byteSize = sizeof(VstMidiEvent);
            midi[i].deltaFrames = static_cast<VstInt32>(events[i].frame);
            for (int b = 0; b < 3; b++) midi[i].midiData[b] = static_cast<char>(events[i].bytes[b]);
            slots[i] = reinterpret_cast<VstEvent*>(&midi[i]);
        }
        dispatch(effect, effProcessEvents, 0, 0, list);
    }
    effect->processReplacing(effect, nullptr, const_cast<float**>(outputs), static_cast<VstInt32>(frames));
}

void Vst2Reference::setChunk(const std::vector<uint8_t>& chunk) {
    dispatch(effect, effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), const_cast<uint8_t*>(chunk.data()));
}

std::vector<uint8_t> Vst2Reference::chunk() {
    void* data = nullptr;
    const VstIntPtr size = dispatch(effect, effGetChunk, 0, 0, &data);
    if (!data || size <= 0) return {};
    return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace testhost
