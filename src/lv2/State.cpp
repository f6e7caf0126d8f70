#include "lv2/State.h"

#include <lv2/state/state.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "face/ChunkState.h"
#include "formats/KitFormats.h"
#include "lv2/Instance.h"

namespace lv2face {

namespace {

using kitformat::kPathField;

struct PathMapping {
    const LV2_State_Map_Path* map = nullptr;
    const LV2_State_Free_Path* freePath = nullptr;

    explicit PathMapping(const LV2_Feature* const* features) {
        for (int i = 0; features && features[i]; i++) {
            if (std::strcmp(features[i]->URI, LV2_STATE__mapPath) == 0)
                map = static_cast<const LV2_State_Map_Path*>(features[i]->data);
            else if (std::strcmp(features[i]->URI, LV2_STATE__freePath) == 0)
                freePath = static_cast<const LV2_State_Free_Path*>(features[i]->data);
        }
    }

    std::string take(char* path) const {
        if (!path) return std::string();
        std::string copy(path);
        if (freePath)
            freePath->free_path(freePath->handle, path);
        else
            std::free(path);
        return copy;
    }

    void apply(uint8_t* chunk, bool toAbstract) const {
        if (!map) return;
        convertChunkPaths(chunk, [&](const char* path) {
            return take(toAbstract ? map->abstract_path(map->handle, path) : map->absolute_path(map->handle, path));
        });
    }
};

void convertField(uint8_t* field, bool padPath, const std::function<std::string(const char*)>& convert) {
    const char* path = reinterpret_cast<const char*>(field);
    if (!std::memchr(field, 0, kPathField) || !path[0] || (padPath && kitformat::isBankMarked(path))) return;
    const std::string converted = convert(path);
    if (converted.empty() || converted.size() >= kPathField) return;
    std::memset(field, 0, kPathField);
    std::memcpy(field, converted.data(), converted.size());
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const* features) {
    Instance* in = static_cast<Instance*>(handle);
    std::vector<uint8_t> chunk;
    if (!face::saveChunk(in->effect, chunk) || !face::isChunk(chunk.data(), chunk.size())) return LV2_STATE_ERR_UNKNOWN;
    PathMapping(features).apply(chunk.data(), true);
    return store(state, in->urids.chunkKey, chunk.data(), chunk.size(), in->urids.atomChunk,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

// The instrument's loader swaps the kit in under its own handshake, so this
// may run beside run() on any thread.
LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, uint32_t,
                         const LV2_Feature* const* features) {
    Instance* in = static_cast<Instance*>(handle);
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* value = retrieve(state, in->urids.chunkKey, &size, &type, &flags);
    if (!value) return LV2_STATE_SUCCESS;
    if (type != in->urids.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
    if (!face::isChunk(static_cast<const uint8_t*>(value), size)) return LV2_STATE_ERR_UNKNOWN;
    std::vector<uint8_t> chunk(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
    PathMapping(features).apply(chunk.data(), false);
    return face::restoreChunk(in->effect, chunk.data(), chunk.size()) ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

const LV2_State_Interface kStateInterface = {save, restore};

}  // namespace

void convertChunkPaths(uint8_t* chunk, const std::function<std::string(const char*)>& convert) {
    convertField(kitformat::chunkBankPathField(chunk), false, convert);
    for (int i = 0; i < kitformat::kPads; i++) convertField(kitformat::chunkPadPathField(chunk, i), true, convert);
}

const void* stateExtension(const char* uri) {
    return std::strcmp(uri, LV2_STATE__interface) == 0 ? &kStateInterface : nullptr;
}

}  // namespace lv2face
