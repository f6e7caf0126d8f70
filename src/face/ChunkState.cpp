#include "face/ChunkState.h"

#include "face/Face.h"
#include "formats/KitFormats.h"

namespace face {

bool saveChunk(AEffect* effect, std::vector<uint8_t>& out) {
    out.clear();
    void* data = nullptr;
    const VstIntPtr size = dispatch(effect, effGetChunk, 0, 0, &data);
    if (!data || size <= 0) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out.assign(bytes, bytes + size);
    return true;
}

bool isChunk(const uint8_t* data, size_t size) {
    return data && size == kitformat::kChunkSize && kitformat::hasChunkMagic(data);
}

bool restoreChunk(AEffect* effect, const uint8_t* data, size_t size) {
    if (!isChunk(data, size)) return false;
    // effSetChunk does not write through its pointer; the cast is the ABI's.
    dispatch(effect, effSetChunk, 0, static_cast<VstIntPtr>(size), const_cast<uint8_t*>(data));
    return true;
}

}  // namespace face
