#include "render/Renderer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "pluginhost/PluginLoader.h"

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

// Rendered frames not yet known to belong to the result: silence after the
// last event, which a later sound keeps and the end of the render drops.
class HeldFrames {
public:
    void add(const float* const* outputs, int from, int count) {
        for (int c = 0; c < 8; c++) channel[c].insert(channel[c].end(), outputs[c] + from, outputs[c] + from + count);
    }
    bool release(const Sink& sink) {
        int count = static_cast<int>(channel[0].size());
        if (count == 0) return true;
        const float* outputs[8];
        for (int c = 0; c < 8; c++) outputs[c] = channel[c].data();
        bool more = sink(outputs, count);
        for (auto& c : channel) c.clear();
        return more;
    }

private:
    std::vector<float> channel[8];
};

// The last frame of the block with sound on any output, if after `last`.
int64_t lastSoundIn(float* const* outputs, int64_t start, int frames, int64_t last) {
    for (int pair = 0; pair < 4; pair++) {
        const float* l = outputs[2 * pair];
        const float* r = outputs[2 * pair + 1];
        for (int j = frames - 1; j >= 0 && start + j > last; j--)
            if (l[j] != 0.0f || r[j] != 0.0f) last = start + j;
    }
    return last;
}

}  // namespace

RenderResult renderSong(AEffect* effect, const smf::Song& song, const RenderSettings& s, const Sink& sink,
                        const std::function<void(double)>& progress) {
    std::vector<std::vector<float>> buffers(8, std::vector<float>(static_cast<size_t>(s.block)));
    float* outputs[8];
    for (int i = 0; i < 8; i++) outputs[i] = buffers[i].data();
    EventBlock block;
    HeldFrames held;
    RenderResult result;
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
        lastSound = lastSoundIn(outputs, start, frames, lastSound);
        int64_t done = start + frames;
        // Everything up to the last sound, and up to the last event, is kept.
        int64_t keep = std::min(done, std::max(lastSound + 1, endOfEvents));
        int kept = static_cast<int>(std::max<int64_t>(keep - start, 0));
        result.frames = keep;
        if (sink) {
            if (kept > 0 && !(held.release(sink) && sink(outputs, kept))) {
                result.stopped = true;
                break;
            }
            if (kept < frames) held.add(outputs, kept, frames - kept);
        }
        if (progress) progress(static_cast<double>(done) / static_cast<double>(limit));
        if (done >= endOfEvents && next >= song.events.size() &&
            done - std::max(lastSound, endOfEvents) >= silenceToStop)
            break;
    }
    return result;
}

}  // namespace render
