// One CLAP instance of the instrument: the VST 2 effect record it drives, the
// host that created it, and what process() needs without allocating.
#pragma once

#include <cstdint>

#include "clap/ClapAbi.h"
#include "face/EventBatcher.h"
#include "face/Face.h"

namespace clapface {

using face::kAudioOutputs;
const uint32_t kOutputPorts = kAudioOutputs / 2;
const uint32_t kEditorWidth = 670;
const uint32_t kEditorHeight = 400;
// The editor's idle period on hosts that drive it by timer.
const uint32_t kIdlePeriodMs = 30;

const char* const kPluginId = "com.morvantic.kz318";

struct Gui {
    bool created = false;
    bool open = false;  // effEditOpen succeeded
    bool timer = false;
    clap::Id timerId = clap::kInvalidId;
    uintptr_t platformTimer = 0;  // idles the editor where the host has no timers (Windows)
    void* parent = nullptr;  // the host's window, once set_parent gave it
};

struct Instance {
    clap::Plugin plugin = {};
    const clap::Host* host = nullptr;
    AEffect* effect = nullptr;
    face::HostInfo info;
    bool active = false;
    Gui gui;
    face::EventBatcher batcher;
};

inline Instance& instanceOf(const clap::Plugin* plugin) { return *static_cast<Instance*>(plugin->pluginData); }

const clap::PluginDescriptor& descriptor();
// Creates the instance for `host`; null when the instrument could not be made.
const clap::Plugin* createInstance(const clap::Host* host);

// The MIDI message a CLAP event plays as; false for events the instrument
// does not act on. [audio]
bool midiFor(const clap::EventHeader& event, uint8_t message[3]) noexcept;
// One block: the events to the instrument, the rest rendered. [audio]
int32_t processBlock(Instance& instance, const clap::Process& process) noexcept;

const void* stateExtension();
const void* guiExtension();
const void* timerExtension();
// Closes the editor, if open, and gives back the host's timer. [main]
void destroyGui(Instance& instance);

}  // namespace clapface
