// The kit as the state: exactly the bytes effGetChunk gives, so a project can
// move between the VST 2, LV2 and CLAP faces.
#include <vector>

#include "clap/Instance.h"
#include "face/ChunkState.h"
#include "formats/KitFormats.h"

namespace clapface {

namespace {

bool CLAPCALL save(const clap::Plugin* plugin, const clap::OutputStream* stream) {
    Instance& in = instanceOf(plugin);
    std::vector<uint8_t> chunk;
    if (!stream || !stream->write || !in.effect || !face::saveChunk(in.effect, chunk)) return false;
    const auto write = [stream](const uint8_t* bytes, long long count) -> long long {
        return stream->write(stream, bytes, uint64_t(count));
    };
    return face::writeWholeStream(write, chunk);
}

// A stream that fails, ends early or holds anything but one whole chunk
// changes nothing.
bool CLAPCALL load(const clap::Plugin* plugin, const clap::InputStream* stream) {
    Instance& in = instanceOf(plugin);
    if (!stream || !stream->read || !in.effect) return false;
    std::vector<uint8_t> chunk;
    const auto read = [stream](uint8_t* buffer, long long count) -> long long {
        return stream->read(stream, buffer, uint64_t(count));
    };
    if (!face::readWholeStream(read, chunk, kitformat::kChunkSize)) return false;
    return face::restoreChunk(in.effect, chunk.data(), chunk.size());
}

const clap::PluginState kState = {save, load};

}  // namespace

const void* stateExtension() { return &kState; }

}  // namespace clapface
