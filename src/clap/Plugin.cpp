// The CLAP plug-in record over the instrument's effect record: life cycle,
// ports and the extensions, each calling the record as a VST 2 host does.
#include <cstdio>
#include <cstring>
#include <new>

#include "clap/Instance.h"

namespace clapface {

namespace {

bool CLAPCALL init(const clap::Plugin* plugin) {
    Instance& in = instanceOf(plugin);
    if (!in.effect) in.effect = face::openPlugin(in.info);
    return in.effect != nullptr;
}

void setActive(Instance& in, bool active) {
    if (in.active == active || !in.effect) return;
    face::dispatch(in.effect, effMainsChanged, 0, active ? 1 : 0);
    in.active = active;
}

void CLAPCALL destroy(const clap::Plugin* plugin) {
    Instance* in = &instanceOf(plugin);
    destroyGui(*in);
    setActive(*in, false);
    face::closePlugin(in->effect);
    delete in;
}

bool CLAPCALL activate(const clap::Plugin* plugin, double rate, uint32_t, uint32_t maxFrames) {
    Instance& in = instanceOf(plugin);
    if (!in.effect || in.active || rate <= 0.0) return false;
    const int32_t maxBlock = maxFrames > 0 && maxFrames <= INT32_MAX ? int32_t(maxFrames) : face::kDefaultMaxBlock;
    face::setupPlugin(in.effect, rate, maxBlock);
    setActive(in, true);
    return true;
}

void CLAPCALL deactivate(const clap::Plugin* plugin) { setActive(instanceOf(plugin), false); }

bool CLAPCALL startProcessing(const clap::Plugin*) { return true; }
void CLAPCALL stopProcessing(const clap::Plugin*) {}

// Silences every voice, as controller 123 does.
void CLAPCALL reset(const clap::Plugin* plugin) {
    Instance& in = instanceOf(plugin);
    if (!in.active) return;
    const uint8_t allNotesOff[3] = {0xB0, 123, 0};
    in.batcher.begin(in.effect, nullptr, 0);
    in.batcher.add(0, allNotesOff, 3);
    in.batcher.finish();
}

int32_t CLAPCALL process(const clap::Plugin* plugin, const clap::Process* p) {
    Instance& in = instanceOf(plugin);
    if (!in.active || !p) return clap::kProcessError;
    return processBlock(in, *p);
}

uint32_t CLAPCALL audioPortCount(const clap::Plugin*, bool isInput) { return isInput ? 0 : kOutputPorts; }

bool CLAPCALL audioPortInfo(const clap::Plugin*, uint32_t index, bool isInput, clap::AudioPortInfo* info) {
    if (isInput || index >= kOutputPorts || !info) return false;
    std::memset(info, 0, sizeof *info);
    info->id = index;
    std::snprintf(info->name, sizeof info->name, "Kz3 %u", unsigned(index + 1));
    info->flags = index == 0 ? clap::kAudioPortIsMain : 0;
    info->channelCount = 2;
    info->portType = clap::kPortStereo;
    info->inPlacePair = clap::kInvalidId;
    return true;
}

const clap::PluginAudioPorts kAudioPorts = {audioPortCount, audioPortInfo};

uint32_t CLAPCALL notePortCount(const clap::Plugin*, bool isInput) { return isInput ? 1 : 0; }

bool CLAPCALL notePortInfo(const clap::Plugin*, uint32_t index, bool isInput, clap::NotePortInfo* info) {
    if (!isInput || index != 0 || !info) return false;
    std::memset(info, 0, sizeof *info);
    info->id = 0;
    info->supportedDialects = clap::kNoteDialectClap | clap::kNoteDialectMidi;
    info->preferredDialect = clap::kNoteDialectMidi;
    std::snprintf(info->name, sizeof info->name, "Notes");
    return true;
}

const clap::PluginNotePorts kNotePorts = {notePortCount, notePortInfo};

uint32_t CLAPCALL latency(const clap::Plugin*) { return 0; }

const clap::PluginLatency kLatency = {latency};

const void* CLAPCALL getExtension(const clap::Plugin*, const char* id) {
    if (!id) return nullptr;
    if (std::strcmp(id, clap::kExtAudioPorts) == 0) return &kAudioPorts;
    if (std::strcmp(id, clap::kExtNotePorts) == 0) return &kNotePorts;
    if (std::strcmp(id, clap::kExtState) == 0) return stateExtension();
    if (std::strcmp(id, clap::kExtGui) == 0) return guiExtension();
    if (std::strcmp(id, clap::kExtTimerSupport) == 0) return timerExtension();
    if (std::strcmp(id, clap::kExtLatency) == 0) return &kLatency;
    return nullptr;
}

void CLAPCALL onMainThread(const clap::Plugin*) {}

}  // namespace

const clap::Plugin* createInstance(const clap::Host* host) {
    Instance* in = new (std::nothrow) Instance;
    if (!in) return nullptr;
    in->host = host;
    in->plugin = {&descriptor(),  in,    init,    destroy,      activate,    deactivate, startProcessing,
                  stopProcessing, reset, process, getExtension, onMainThread};
    return &in->plugin;
}

}  // namespace clapface
