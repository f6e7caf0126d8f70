#include "render/Renderer.h"

#include <algorithm>
#include <cstring>

#include "host/PluginLoader.h"

namespace render {
namespace {

// After the last event, this much exact digital silence ends the render.
const double kSilenceToStop = 0.1;

// The VstEvents list of one block, in storage kept across blocks.
class EventBlock {
public:
    VstEvents* fill(const smf::Song& song, size_t& next, int64_t start, int frames) {
        size_t first = next;
        while (next < song.events.size() && song.events[next].frame < start + frames) next++;
        size_t count = next - first;
        midi.resize(std::max(midi.size(), count));
        size_t words = (sizeof(VstEvents) + count * sizeof(VstEvent*)) / sizeof(VstIntPtr) + 1;
        storage.resize(std::max(storage.size(), words));
        VstEvents* list = reinterpret_cast<VstEvents*>(storage.data());
        list->numEvents = static_cast<VstInt32>(count);
        list->reserved = 0;
        for (size_t i = 0; i < count; i++) {
            const smf::Event& e = song.events[first + i];
            VstMidiEvent& m = midi[i];
            std::memset(&m, 0, sizeof(m));
            m.type = kVstMidiType;
            m.byteSize = sizeof(VstMidiEvent);
            m.deltaFrames = static_cast<VstInt32>(e.frame - start);
            std::memcpy(m.midiData, e.bytes, 3);
            list->events[i] = reinterpret_cast<VstEvent*>(&m);
        }
        return list;
    }

private:
    std::vector<VstMidiEvent> midi;
    std::vector<VstIntPtr> storage;  // pointer-aligned room for the list
};

}  // namespace

Stems renderSong(AEffect* effect, const smf::Song& song, const RenderSettings& s,
                 const std::function<void(double)>& progress) {
    std::vector<std::vector<float>> buffers(8, std::vector<float>(static_cast<size_t>(s.block)));
    float* outputs[8];
    for (int i = 0; i < 8; i++) outputs[i] = buffers[i].data();
    EventBlock block;
    Stems stems;
    const int64_t endOfEvents = song.lastFrame + 1;
    const int64_t limit = endOfEvents + static_cast<int64_t>(s.tail * s.rate);
    const int64_t silenceToStop = static_cast<int64_t>(kSilenceToStop * s.rate);
    int64_t lastSound = -1;
    size_t next = 0;
    for (int64_t start = 0; start < limit; start += s.block) {
        int frames = static_cast<int>(std::min<int64_t>(s.block, limit - start));
        VstEvents* events = block.fill(song, next, start, frames);
        if (events->numEvents > 0) vsthost::dispatch(effect, effProcessEvents, 0, 0, events);
        effect->processReplacing(effect, nullptr, outputs, frames);
        for (int pair = 0; pair < 4; pair++) {
            const float* l = outputs[2 * pair];
            const float* r = outputs[2 * pair + 1];
            std::vector<float>& out = stems.pair[pair];
            size_t base = out.size();
            out.resize(base + 2 * static_cast<size_t>(frames));
            float* o = out.data() + base;
            for (int j = 0; j < frames; j++) {
                o[2 * j] = l[j];
                o[2 * j + 1] = r[j];
            }
            for (int j = frames - 1; j >= 0 && start + j > lastSound; j--)
                if (l[j] != 0.0f || r[j] != 0.0f) lastSound = start + j;
        }
        int64_t done = start + frames;
        if (progress) progress(static_cast<double>(done) / static_cast<double>(limit));
        if (done >= endOfEvents && next >= song.events.size() && done - std::max(lastSound, endOfEvents) >= silenceToStop)
            break;
    }
    stems.frames = static_cast<size_t>(std::max(lastSound + 1, endOfEvents));
    stems.frames = std::min(stems.frames, stems.pair[0].size() / 2);
    for (auto& p : stems.pair) p.resize(stems.frames * 2);
    return stems;
}

std::vector<float> mixPairs(const Stems& stems) {
    std::vector<float> mix(stems.frames * 2, 0.0f);
    for (const auto& p : stems.pair)
        for (size_t i = 0; i < mix.size(); i++) mix[i] += p[i];
    return mix;
}

}  // namespace render
