// The kit as the component's state: exactly the bytes effGetChunk gives, the
// same bytes every face saves. [host]
#include <vector>

#include "face/ChunkState.h"
#include "formats/KitFormats.h"
#include "vst3/Plugin.h"

namespace vst3face {

using namespace vst3;

tresult Plugin::saveKit(IBStream* stream) {
    if (!fx) return kNotInitialized;
    if (!stream) return kInvalidArgument;
    std::vector<uint8_t> chunk;
    if (!face::saveChunk(fx, chunk)) return kInternalError;
    const auto write = [stream](const uint8_t* bytes, long long count) -> long long {
        int32_t n = 0;
        // The stream's interface takes a non-const buffer; it only reads it.
        const tresult r = stream->write(const_cast<uint8_t*>(bytes), static_cast<int32_t>(count), &n);
        return r == kResultOk ? n : -1;
    };
    return face::writeWholeStream(write, chunk) ? kResultOk : kInternalError;
}

// The whole stream is read before anything changes; hosts' streams may give
// fewer bytes than asked on any call. Some end with kResultFalse and nothing
// read; any other failure, or a stream that is not one whole chunk, leaves
// the kit as it was.
tresult Plugin::restoreKit(IBStream* stream) {
    if (!fx) return kNotInitialized;
    if (!stream) return kInvalidArgument;
    std::vector<uint8_t> bytes;
    auto read = [stream](uint8_t* buffer, long long count) -> long long {
        int32_t n = 0;
        const tresult r = stream->read(buffer, static_cast<int32_t>(count), &n);
        if (r == kResultOk) return n;
        return r == kResultFalse && n == 0 ? 0 : -1;
    };
    if (!face::readWholeStream(read, bytes, kitformat::kChunkSize)) return kInternalError;
    return face::restoreChunk(fx, bytes.data(), bytes.size()) ? kResultOk : kInvalidArgument;
}

}  // namespace vst3face
