// What every plug-in face shares: how it creates the assembled instrument,
// the host callback it answers the instrument with, and one way to call the
// record's dispatcher. A face owns a HostInfo and hands it over as the
// record's user field; the callback reads the rate and block size there.
#pragma once

#include <cstdint>

#include "vst/Dispatch.h"
#include "vst/aeffect.h"

namespace face {

// The plug-in's version as the faces report it ("1.0.0").
const char* const kVersion = KZ_VERSION;
// The version a face answers as the instrument's host (vst/aeffect.h).
using ::kHostVersion;
// The block size a face assumes when its host does not say.
const int32_t kDefaultMaxBlock = 4096;

struct HostInfo {
    double sampleRate = 44100.0;
    int32_t maxBlock = 0;
};

using vst::dispatch;

// Answers the instrument's questions from the HostInfo in the record's user
// field (none during createPlugin). [any]
VstIntPtr VSTCALL hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);

// Creates and opens the instrument with `info` as its host: null when it
// could not be created. The rate and block size are not passed yet. [host]
AEffect* openPlugin(HostInfo& info);
// Records the rate and block size in the HostInfo and passes them on through
// the dispatcher (effSetSampleRate, effSetBlockSize). [host] while suspended
void setupPlugin(AEffect* effect, double sampleRate, int32_t maxBlock);
// effClose: ends the record and the instrument behind it. [host]
void closePlugin(AEffect* effect);
// Opens the editor in the host's window `parent` as a VST 2 host does,
// asking its size first (given in `size` when asked for; it may be null);
// false when it did not open. [editor]
bool openEditor(AEffect* effect, void* parent, ERect** size = nullptr);

}  // namespace face
