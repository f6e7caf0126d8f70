#include "lv2/Lv2Host.h"

#include <lv2/options/options.h>

namespace lv2test {

namespace {

LV2_State_Status storeProperty(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                               uint32_t flags) {
    const uint8_t* bytes = static_cast<const uint8_t*>(value);
    static_cast<std::vector<Property>*>(handle)->push_back({key, Bytes(bytes, bytes + size), type, flags});
    return LV2_STATE_SUCCESS;
}

const void* retrieveProperty(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
    for (const Property& p : *static_cast<const std::vector<Property>*>(handle)) {
        if (p.key != key) continue;
        *size = p.value.size();
        *type = p.type;
        *flags = p.flags;
        // An empty value is still a value: never a null pointer.
        return p.value.empty() ? static_cast<const void*>(&p) : p.value.data();
    }
    return nullptr;
}

std::vector<const LV2_Feature*> terminated(std::vector<const LV2_Feature*> features) {
    features.push_back(nullptr);
    return features;
}

}  // namespace

Lv2Plugin::Lv2Plugin(const std::string& bundle, double rate) {
    world = lilv_world_new();
    LilvNode* bundleUri = lilv_new_file_uri(world, nullptr, (bundle + "/").c_str());
    lilv_world_load_bundle(world, bundleUri);
    lilv_node_free(bundleUri);
    LilvNode* uri = lilv_new_uri(world, kPluginUri);
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
    if (!plugin) return;
    // Outputs are found by the names the VST 2 plug-in gives its pins.
    for (int k = 0; k < kOutputs; k++) {
        const std::string name = "Kz3 " + std::to_string(k / 2 + 1) + ((k & 1) ? "R" : "L");
        for (uint32_t i = 0; i < lilv_plugin_get_num_ports(plugin); i++) {
            LilvNode* n = lilv_port_get_name(plugin, lilv_plugin_get_port_by_index(plugin, i));
            if (n && name == lilv_node_as_string(n)) outputPort[k] = i;
            lilv_node_free(n);
        }
    }
    // MIDI goes to the input the description designates for control events.
    LilvNode* input = lilv_new_uri(world, LILV_URI_INPUT_PORT);
    LilvNode* control = lilv_new_uri(world, LV2_CORE__control);
    const LilvPort* events = lilv_plugin_get_port_by_designation(plugin, input, control);
    if (events) eventsPort = lilv_port_get_index(plugin, events);
    lilv_node_free(input);
    lilv_node_free(control);
    LV2_Feature mapFeature = {LV2_URID__map, &uridMap.map};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    instance = lilv_plugin_instantiate(plugin, rate, features);
    if (!instance) return;
    state = static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
    lilv_instance_activate(instance);
}

Lv2Plugin::~Lv2Plugin() {
    if (instance) {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
    lilv_world_free(world);
}

void Lv2Plugin::connect(Block& out, const std::vector<Event>& events) {
    const size_t bytes = sizeof(LV2_Atom_Sequence) + events.size() * (sizeof(LV2_Atom_Event) + 8);
    sequence.assign(bytes / 8 + 1, 0);
    auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(sequence.data());
    seq->atom.type = uridMap.id(LV2_ATOM__Sequence);
    seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
    const LV2_URID midi = uridMap.id(LV2_MIDI__MidiEvent);
    for (const Event& e : events) {
        auto* ev = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(&seq->body) + seq->atom.size);
        ev->time.frames = e.frame;
        ev->body.type = midi;
        ev->body.size = e.size;
        std::memcpy(ev + 1, e.bytes, e.size);
        seq->atom.size += static_cast<uint32_t>(sizeof(LV2_Atom_Event) + ((e.size + 7) & ~7u));
    }
    lilv_instance_connect_port(instance, eventsPort, seq);
    for (int k = 0; k < kOutputs; k++) lilv_instance_connect_port(instance, outputPort[k], out.data[k].data());
}

LV2_State_Status Lv2Plugin::save(std::vector<Property>& stored, const std::vector<const LV2_Feature*>& extra) {
    stored.clear();
    std::vector<const LV2_Feature*> features = terminated(extra);
    return state->save(lilv_instance_get_handle(instance), storeProperty, &stored,
                       LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features.data());
}

LV2_State_Status Lv2Plugin::restore(const std::vector<Property>& stored, const std::vector<const LV2_Feature*>& extra) {
    std::vector<const LV2_Feature*> features = terminated(extra);
    return state->restore(lilv_instance_get_handle(instance), retrieveProperty,
                          const_cast<std::vector<Property>*>(&stored), 0, features.data());
}

Bytes Lv2Plugin::savedChunk() {
    std::vector<Property> stored;
    if (save(stored) != LV2_STATE_SUCCESS || stored.size() != 1) return Bytes();
    return stored[0].value;
}

LV2_State_Status Lv2Plugin::restoreChunk(const Bytes& chunk, const std::vector<const LV2_Feature*>& extra) {
    std::vector<Property> stored = {
        {uridMap.id(kChunkKey), chunk, uridMap.id(LV2_ATOM__Chunk), LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE}};
    return restore(stored, extra);
}

VstPlugin::VstPlugin(const std::string& path, double rate, int maxBlock) : library(path) {
    testhost::EntryProc entry = library.loaded() ? testhost::findEntry(library) : nullptr;
    effect = entry ? entry(testhost::hostCallback) : nullptr;
    if (!effect) return;
    testhost::dispatch(effect, effOpen);
    testhost::dispatch(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    testhost::dispatch(effect, effSetBlockSize, 0, maxBlock);
    testhost::dispatch(effect, effMainsChanged, 0, 1);
}

VstPlugin::~VstPlugin() {
    if (!effect) return;
    testhost::dispatch(effect, effMainsChanged, 0, 0);
    testhost::dispatch(effect, effClose);
}

void VstPlugin::run(Block& out, const std::vector<Event>& events) {
    if (!events.empty()) {
        std::vector<VstMidiEvent> midi(events.size());
        std::vector<char> room(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
        VstEvents* list = reinterpret_cast<VstEvents*>(room.data());
        list->numEvents = static_cast<VstInt32>(events.size());
        VstEvent** slots = list->events;
        for (size_t i = 0; i < events.size(); i++) {
            std::memset(&midi[i], 0, sizeof(VstMidiEvent));
            midi[i].type = kVstMidiType;
            midi[i].byteSize = sizeof(VstMidiEvent);
            midi[i].deltaFrames = static_cast<VstInt32>(events[i].frame);
            std::memcpy(midi[i].midiData, events[i].bytes, events[i].size);
            slots[i] = reinterpret_cast<VstEvent*>(&midi[i]);
        }
        testhost::dispatch(effect, effProcessEvents, 0, 0, list);
    }
    float* outputs[kOutputs];
    for (int k = 0; k < kOutputs; k++) outputs[k] = out.data[k].data();
    effect->processReplacing(effect, nullptr, outputs, static_cast<VstInt32>(out.frames));
}

void VstPlugin::setChunk(const Bytes& chunk) {
    testhost::dispatch(effect, effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()),
                       const_cast<uint8_t*>(chunk.data()));
}

Bytes VstPlugin::chunk() {
    void* data = nullptr;
    VstIntPtr size = testhost::dispatch(effect, effGetChunk, 0, 0, &data);
    if (!data || size <= 0) return Bytes();
    return Bytes(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace lv2test
