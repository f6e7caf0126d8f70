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

void VstPlugin::run(Block& out, const std::vector<Event>& events) {
    std::vector<testhost::MidiAt> midi;
    for (const Event& e : events) {
        testhost::MidiAt m = {e.frame, {0, 0, 0}};
        std::memcpy(m.bytes, e.bytes, e.size < 3 ? e.size : 3);
        midi.push_back(m);
    }
    float* outputs[kOutputs];
    for (int k = 0; k < kOutputs; k++) outputs[k] = out.data[k].data();
    play(out.frames, outputs, midi);
}

}  // namespace lv2test
