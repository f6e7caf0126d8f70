// The part of the CLAP 1.x binary interface this project uses, declared here
// from the published layouts and identifiers. Plain C layouts: every record is
// handed across the library boundary as it is, so sizes and offsets are
// checked below for the 64-bit and the 32-bit Windows layouts.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define CLAPCALL __cdecl
#else
#define CLAPCALL
#endif

namespace clap {

typedef uint32_t Id;
const Id kInvalidId = UINT32_MAX;
const size_t kNameSize = 256;

struct Version {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
};

// The interface version this face was written against; hosts accept any 1.x.
const Version kVersion = {1, 1, 0};

struct Host;
struct Plugin;

// What the library exports under the name `clap_entry`.
struct PluginEntry {
    Version version;
    bool(CLAPCALL* init)(const char* pluginPath);
    void(CLAPCALL* deinit)();
    const void*(CLAPCALL* getFactory)(const char* factoryId);
};

const char* const kPluginFactoryId = "clap.plugin-factory";

struct PluginDescriptor {
    Version version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manualUrl;
    const char* supportUrl;
    const char* versionText;
    const char* description;
    const char* const* features;  // null-terminated
};

struct PluginFactory {
    uint32_t(CLAPCALL* getPluginCount)(const PluginFactory* factory);
    const PluginDescriptor*(CLAPCALL* getPluginDescriptor)(const PluginFactory* factory, uint32_t index);
    const Plugin*(CLAPCALL* createPlugin)(const PluginFactory* factory, const Host* host, const char* pluginId);
};

struct Host {
    Version version;
    void* hostData;
    const char* name;
    const char* vendor;
    const char* url;
    const char* versionText;
    const void*(CLAPCALL* getExtension)(const Host* host, const char* extensionId);
    void(CLAPCALL* requestRestart)(const Host* host);
    void(CLAPCALL* requestProcess)(const Host* host);
    void(CLAPCALL* requestCallback)(const Host* host);
};

// Events ------------------------------------------------------------------

struct EventHeader {
    uint32_t size;  // of the whole event
    uint32_t time;  // frame within the block
    uint16_t spaceId;
    uint16_t type;
    uint32_t flags;
};

const uint16_t kCoreEventSpace = 0;

enum EventType : uint16_t {
    kEventNoteOn = 0,
    kEventNoteOff = 1,
    kEventNoteChoke = 2,
    kEventNoteEnd = 3,
    kEventNoteExpression = 4,
    kEventParamValue = 5,
    kEventParamMod = 6,
    kEventParamGestureBegin = 7,
    kEventParamGestureEnd = 8,
    kEventTransport = 9,
    kEventMidi = 10,
    kEventMidiSysex = 11,
    kEventMidi2 = 12,
};

// Note on, off, choke and end. -1 in a field is a wildcard.
struct EventNote {
    EventHeader header;
    int32_t noteId;
    int16_t portIndex;
    int16_t channel;
    int16_t key;
    double velocity;  // 0..1
};

struct EventMidi {
    EventHeader header;
    uint16_t portIndex;
    uint8_t data[3];
};

struct InputEvents {
    void* context;
    uint32_t(CLAPCALL* size)(const InputEvents* list);
    const EventHeader*(CLAPCALL* get)(const InputEvents* list, uint32_t index);
};

struct OutputEvents {
    void* context;
    bool(CLAPCALL* tryPush)(const OutputEvents* list, const EventHeader* event);
};

// Processing --------------------------------------------------------------

struct AudioBuffer {
    float** data32;
    double** data64;
    uint32_t channelCount;
    uint32_t latency;
    uint64_t constantMask;
};

struct EventTransport;

struct Process {
    int64_t steadyTime;
    uint32_t framesCount;
    const EventTransport* transport;
    const AudioBuffer* audioInputs;
    AudioBuffer* audioOutputs;
    uint32_t audioInputsCount;
    uint32_t audioOutputsCount;
    const InputEvents* inEvents;
    const OutputEvents* outEvents;
};

enum ProcessStatus : int32_t {
    kProcessError = 0,
    kProcessContinue = 1,
    kProcessContinueIfNotQuiet = 2,
    kProcessTail = 3,
    kProcessSleep = 4,
};

struct Plugin {
    const PluginDescriptor* desc;
    void* pluginData;
    bool(CLAPCALL* init)(const Plugin* plugin);
    void(CLAPCALL* destroy)(const Plugin* plugin);
    bool(CLAPCALL* activate)(const Plugin* plugin, double sampleRate, uint32_t minFrames, uint32_t maxFrames);
    void(CLAPCALL* deactivate)(const Plugin* plugin);
    bool(CLAPCALL* startProcessing)(const Plugin* plugin);
    void(CLAPCALL* stopProcessing)(const Plugin* plugin);
    void(CLAPCALL* reset)(const Plugin* plugin);
    int32_t(CLAPCALL* process)(const Plugin* plugin, const Process* process);
    const void*(CLAPCALL* getExtension)(const Plugin* plugin, const char* id);
    void(CLAPCALL* onMainThread)(const Plugin* plugin);
};

// Extensions --------------------------------------------------------------

const char* const kExtAudioPorts = "clap.audio-ports";
const char* const kPortStereo = "stereo";
const uint32_t kAudioPortIsMain = 1u << 0;

struct AudioPortInfo {
    Id id;
    char name[kNameSize];
    uint32_t flags;
    uint32_t channelCount;
    const char* portType;
    Id inPlacePair;
};

struct PluginAudioPorts {
    uint32_t(CLAPCALL* count)(const Plugin* plugin, bool isInput);
    bool(CLAPCALL* get)(const Plugin* plugin, uint32_t index, bool isInput, AudioPortInfo* info);
};

const char* const kExtNotePorts = "clap.note-ports";
const uint32_t kNoteDialectClap = 1u << 0;
const uint32_t kNoteDialectMidi = 1u << 1;
const uint32_t kNoteDialectMidiMpe = 1u << 2;
const uint32_t kNoteDialectMidi2 = 1u << 3;

struct NotePortInfo {
    Id id;
    uint32_t supportedDialects;
    uint32_t preferredDialect;
    char name[kNameSize];
};

struct PluginNotePorts {
    uint32_t(CLAPCALL* count)(const Plugin* plugin, bool isInput);
    bool(CLAPCALL* get)(const Plugin* plugin, uint32_t index, bool isInput, NotePortInfo* info);
};

const char* const kExtState = "clap.state";

// read/write give the bytes moved, 0 at the end of the stream, below 0 on an
// error; either may move fewer bytes than asked.
struct InputStream {
    void* context;
    int64_t(CLAPCALL* read)(const InputStream* stream, void* buffer, uint64_t size);
};

struct OutputStream {
    void* context;
    int64_t(CLAPCALL* write)(const OutputStream* stream, const void* buffer, uint64_t size);
};

struct PluginState {
    bool(CLAPCALL* save)(const Plugin* plugin, const OutputStream* stream);
    bool(CLAPCALL* load)(const Plugin* plugin, const InputStream* stream);
};

const char* const kExtGui = "clap.gui";
const char* const kWindowApiX11 = "x11";
const char* const kWindowApiWin32 = "win32";

struct Window {
    const char* api;
    union {
        unsigned long x11;  // an X11 Window id
        void* win32;        // an HWND
        void* ptr;
    };
};

struct GuiResizeHints {
    bool canResizeHorizontally;
    bool canResizeVertically;
    bool preserveAspectRatio;
    uint32_t aspectRatioWidth;
    uint32_t aspectRatioHeight;
};

struct PluginGui {
    bool(CLAPCALL* isApiSupported)(const Plugin* plugin, const char* api, bool isFloating);
    bool(CLAPCALL* getPreferredApi)(const Plugin* plugin, const char** api, bool* isFloating);
    bool(CLAPCALL* create)(const Plugin* plugin, const char* api, bool isFloating);
    void(CLAPCALL* destroy)(const Plugin* plugin);
    bool(CLAPCALL* setScale)(const Plugin* plugin, double scale);
    bool(CLAPCALL* getSize)(const Plugin* plugin, uint32_t* width, uint32_t* height);
    bool(CLAPCALL* canResize)(const Plugin* plugin);
    bool(CLAPCALL* getResizeHints)(const Plugin* plugin, GuiResizeHints* hints);
    bool(CLAPCALL* adjustSize)(const Plugin* plugin, uint32_t* width, uint32_t* height);
    bool(CLAPCALL* setSize)(const Plugin* plugin, uint32_t width, uint32_t height);
    bool(CLAPCALL* setParent)(const Plugin* plugin, const Window* window);
    bool(CLAPCALL* setTransient)(const Plugin* plugin, const Window* window);
    void(CLAPCALL* suggestTitle)(const Plugin* plugin, const char* title);
    bool(CLAPCALL* show)(const Plugin* plugin);
    bool(CLAPCALL* hide)(const Plugin* plugin);
};

const char* const kExtTimerSupport = "clap.timer-support";

struct PluginTimerSupport {
    void(CLAPCALL* onTimer)(const Plugin* plugin, Id timerId);
};

struct HostTimerSupport {
    bool(CLAPCALL* registerTimer)(const Host* host, uint32_t periodMs, Id* timerId);
    bool(CLAPCALL* unregisterTimer)(const Host* host, Id timerId);
};

const char* const kExtLatency = "clap.latency";

struct PluginLatency {
    uint32_t(CLAPCALL* get)(const Plugin* plugin);
};

// Layout checks -----------------------------------------------------------

// One pointer, and the alignment of 64-bit fields: 8 on every target built
// (x86-64, and 32-bit Windows, whose ABI aligns 64-bit fields to 8).
const size_t kPointer = sizeof(void*);
#define KZ_CLAP_AT(type, field, offset) static_assert(offsetof(type, field) == (offset), #type "." #field)

static_assert(sizeof(Version) == 12, "Version");
static_assert(sizeof(PluginEntry) == (kPointer == 8 ? 40 : 24), "PluginEntry");
KZ_CLAP_AT(PluginEntry, init, kPointer == 8 ? 16 : 12);
KZ_CLAP_AT(PluginEntry, getFactory, kPointer == 8 ? 32 : 20);
static_assert(sizeof(PluginDescriptor) == (kPointer == 8 ? 88 : 48), "PluginDescriptor");
KZ_CLAP_AT(PluginDescriptor, id, kPointer == 8 ? 16 : 12);
KZ_CLAP_AT(PluginDescriptor, features, kPointer == 8 ? 80 : 44);
static_assert(sizeof(PluginFactory) == 3 * kPointer, "PluginFactory");
static_assert(sizeof(Host) == (kPointer == 8 ? 88 : 48), "Host");
KZ_CLAP_AT(Host, hostData, kPointer == 8 ? 16 : 12);
KZ_CLAP_AT(Host, getExtension, kPointer == 8 ? 56 : 32);
KZ_CLAP_AT(Host, requestCallback, kPointer == 8 ? 80 : 44);
static_assert(sizeof(Plugin) == 12 * kPointer, "Plugin");
KZ_CLAP_AT(Plugin, process, 9 * kPointer);
KZ_CLAP_AT(Plugin, getExtension, 10 * kPointer);

static_assert(sizeof(EventHeader) == 16, "EventHeader");
KZ_CLAP_AT(EventHeader, spaceId, 8);
KZ_CLAP_AT(EventHeader, type, 10);
KZ_CLAP_AT(EventHeader, flags, 12);
static_assert(sizeof(EventNote) == 40, "EventNote");
KZ_CLAP_AT(EventNote, noteId, 16);
KZ_CLAP_AT(EventNote, portIndex, 20);
KZ_CLAP_AT(EventNote, channel, 22);
KZ_CLAP_AT(EventNote, key, 24);
KZ_CLAP_AT(EventNote, velocity, 32);
static_assert(sizeof(EventMidi) == 24, "EventMidi");
KZ_CLAP_AT(EventMidi, portIndex, 16);
KZ_CLAP_AT(EventMidi, data, 18);
static_assert(sizeof(InputEvents) == 3 * kPointer, "InputEvents");
static_assert(sizeof(OutputEvents) == 2 * kPointer, "OutputEvents");

static_assert(sizeof(AudioBuffer) == (kPointer == 8 ? 32 : 24), "AudioBuffer");
KZ_CLAP_AT(AudioBuffer, channelCount, 2 * kPointer);
KZ_CLAP_AT(AudioBuffer, constantMask, kPointer == 8 ? 24 : 16);
static_assert(sizeof(Process) == (kPointer == 8 ? 64 : 40), "Process");
KZ_CLAP_AT(Process, framesCount, 8);
KZ_CLAP_AT(Process, transport, kPointer == 8 ? 16 : 12);
KZ_CLAP_AT(Process, audioOutputs, kPointer == 8 ? 32 : 20);
KZ_CLAP_AT(Process, audioOutputsCount, kPointer == 8 ? 44 : 28);
KZ_CLAP_AT(Process, inEvents, kPointer == 8 ? 48 : 32);
KZ_CLAP_AT(Process, outEvents, kPointer == 8 ? 56 : 36);

static_assert(sizeof(AudioPortInfo) == (kPointer == 8 ? 288 : 276), "AudioPortInfo");
KZ_CLAP_AT(AudioPortInfo, flags, 260);
KZ_CLAP_AT(AudioPortInfo, channelCount, 264);
KZ_CLAP_AT(AudioPortInfo, portType, kPointer == 8 ? 272 : 268);
KZ_CLAP_AT(AudioPortInfo, inPlacePair, kPointer == 8 ? 280 : 272);
static_assert(sizeof(NotePortInfo) == 268, "NotePortInfo");
KZ_CLAP_AT(NotePortInfo, name, 12);
static_assert(sizeof(InputStream) == 2 * kPointer && sizeof(OutputStream) == 2 * kPointer, "streams");
static_assert(sizeof(Window) == 2 * kPointer, "Window");
KZ_CLAP_AT(Window, x11, kPointer);
static_assert(sizeof(GuiResizeHints) == 12, "GuiResizeHints");
KZ_CLAP_AT(GuiResizeHints, aspectRatioWidth, 4);
static_assert(sizeof(PluginGui) == 15 * kPointer, "PluginGui");
KZ_CLAP_AT(PluginGui, setParent, 10 * kPointer);
KZ_CLAP_AT(PluginGui, hide, 14 * kPointer);

#undef KZ_CLAP_AT

}  // namespace clap
