// The part of the VST 3 binary interface the face and its test host use,
// declared from the published interface: COM-style classes of pure virtual
// functions in their declared order, their 16-byte ids, result codes and the
// records hosts and plug-ins exchange. Layouts are checked at the end.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VST3CALL __stdcall
#else
#define VST3CALL
#endif

namespace vst3 {

typedef int32_t tresult;
typedef uint8_t TBool;
typedef char16_t TChar;
typedef TChar String128[128];
typedef const char* FIDString;
typedef char TUID[16];
typedef uint32_t ParamID;
typedef double ParamValue;
typedef uint64_t SpeakerArrangement;

// Windows uses the HRESULT values, every other system small numbers.
#if defined(_WIN32)
const tresult kNoInterface = static_cast<tresult>(0x80004002u);
const tresult kResultOk = 0;
const tresult kResultFalse = 1;
const tresult kInvalidArgument = static_cast<tresult>(0x80070057u);
const tresult kNotImplemented = static_cast<tresult>(0x80004001u);
const tresult kInternalError = static_cast<tresult>(0x80004005u);
const tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);
const tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);
#else
const tresult kNoInterface = -1;
const tresult kResultOk = 0;
const tresult kResultFalse = 1;
const tresult kInvalidArgument = 2;
const tresult kNotImplemented = 3;
const tresult kInternalError = 4;
const tresult kNotInitialized = 5;
const tresult kOutOfMemory = 6;
#endif
const tresult kResultTrue = kResultOk;

// An interface or class id from its four 32-bit words. Windows keeps the
// first three fields of the GUID little-endian (COM order); elsewhere all
// sixteen bytes are in reading order.
struct Uid {
    char bytes[16];
};

constexpr char byteOf(uint32_t word, int shift) { return static_cast<char>((word >> shift) & 0xFF); }

constexpr Uid makeUid(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
#if defined(_WIN32)
    return Uid{{byteOf(a, 0), byteOf(a, 8), byteOf(a, 16), byteOf(a, 24), byteOf(b, 16), byteOf(b, 24), byteOf(b, 0),
                byteOf(b, 8), byteOf(c, 24), byteOf(c, 16), byteOf(c, 8), byteOf(c, 0), byteOf(d, 24), byteOf(d, 16),
                byteOf(d, 8), byteOf(d, 0)}};
#else
    return Uid{{byteOf(a, 24), byteOf(a, 16), byteOf(a, 8), byteOf(a, 0), byteOf(b, 24), byteOf(b, 16), byteOf(b, 8),
                byteOf(b, 0), byteOf(c, 24), byteOf(c, 16), byteOf(c, 8), byteOf(c, 0), byteOf(d, 24), byteOf(d, 16),
                byteOf(d, 8), byteOf(d, 0)}};
#endif
}

inline bool sameUid(const void* a, const Uid& b) {
    if (!a) return false;
    const char* x = static_cast<const char*>(a);
    for (int i = 0; i < 16; i++)
        if (x[i] != b.bytes[i]) return false;
    return true;
}

namespace iid {
constexpr Uid FUnknown = makeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
constexpr Uid IPluginBase = makeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
constexpr Uid IPluginFactory = makeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
constexpr Uid IPluginFactory2 = makeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
constexpr Uid IPluginFactory3 = makeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
constexpr Uid IComponent = makeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
constexpr Uid IAudioProcessor = makeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
constexpr Uid IEditController = makeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
constexpr Uid IMidiMapping = makeUid(0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5);
constexpr Uid IBStream = makeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
constexpr Uid IPlugView = makeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
constexpr Uid IPlugFrame = makeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
constexpr Uid IRunLoop = makeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
constexpr Uid ITimerHandler = makeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
constexpr Uid IEventList = makeUid(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44);
constexpr Uid IParameterChanges = makeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
constexpr Uid IParamValueQueue = makeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
constexpr Uid IComponentHandler = makeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
}  // namespace iid

// ---- records ----

struct PFactoryInfo {
    enum { kNoFlags = 0, kClassesDiscardable = 1, kLicenseCheck = 2, kComponentNonDiscardable = 8, kUnicode = 16 };
    char vendor[64];
    char url[256];
    char email[128];
    int32_t flags;
};

const int32_t kManyInstances = 0x7FFFFFFF;

struct PClassInfo {
    TUID cid;
    int32_t cardinality;
    char category[32];
    char name[64];
};

struct PClassInfo2 {
    TUID cid;
    int32_t cardinality;
    char category[32];
    char name[64];
    uint32_t classFlags;
    char subCategories[128];
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

struct PClassInfoW {
    TUID cid;
    int32_t cardinality;
    char category[32];
    char16_t name[64];
    uint32_t classFlags;
    char subCategories[128];
    char16_t vendor[64];
    char16_t version[64];
    char16_t sdkVersion[64];
};

enum MediaType : int32_t { kAudio = 0, kEvent = 1 };
enum BusDirection : int32_t { kInput = 0, kOutput = 1 };
enum BusType : int32_t { kMain = 0, kAux = 1 };
enum IoMode : int32_t { kSimple = 0, kAdvanced = 1, kOfflineProcessing = 2 };

struct BusInfo {
    enum { kDefaultActive = 1 };
    int32_t mediaType;
    int32_t direction;
    int32_t channelCount;
    String128 name;
    int32_t busType;
    uint32_t flags;
};

struct RoutingInfo {
    int32_t mediaType;
    int32_t busIndex;
    int32_t channel;
};

const SpeakerArrangement kStereo = 3;  // left | right
enum SampleSize : int32_t { kSample32 = 0, kSample64 = 1 };
enum ProcessMode : int32_t { kRealtime = 0, kPrefetch = 1, kOffline = 2 };
const uint32_t kNoTail = 0;
const uint32_t kInfiniteTail = 0xFFFFFFFFu;

struct ProcessSetup {
    int32_t processMode;
    int32_t symbolicSampleSize;
    int32_t maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers {
    int32_t numChannels;
    uint64_t silenceFlags;
    union {
        float** channelBuffers32;
        double** channelBuffers64;
    };
};

class IParameterChanges;
class IEventList;
struct ProcessContext;

struct ProcessData {
    int32_t processMode;
    int32_t symbolicSampleSize;
    int32_t numSamples;
    int32_t numInputs;
    int32_t numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

struct NoteOnEvent {
    int16_t channel;
    int16_t pitch;
    float tuning;
    float velocity;
    int32_t length;
    int32_t noteId;
};

struct NoteOffEvent {
    int16_t channel;
    int16_t pitch;
    float velocity;
    int32_t noteId;
    float tuning;
};

struct Event {
    enum Type : uint16_t { kNoteOnEvent = 0, kNoteOffEvent = 1, kDataEvent = 2, kPolyPressureEvent = 3 };
    int32_t busIndex;
    int32_t sampleOffset;
    double ppqPosition;
    uint16_t flags;
    uint16_t type;
    // The other event kinds share this space: the largest holds a pointer
    // after three 32-bit fields, others a 64-bit value.
    union {
        NoteOnEvent noteOn;
        NoteOffEvent noteOff;
        struct {
            uint32_t a, b, c;
            const void* p;
        } largest;
        double value;
    };
};

struct ParameterInfo {
    enum {
        kNoFlags = 0,
        kCanAutomate = 1,
        kIsReadOnly = 2,
        kIsWrapAround = 4,
        kIsList = 8,
        kIsHidden = 16,
        kIsProgramChange = 0x8000,
        kIsBypass = 0x10000
    };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32_t stepCount;
    ParamValue defaultNormalizedValue;
    int32_t unitId;
    int32_t flags;
};

struct ViewRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

const char* const kVstAudioEffectClass = "Audio Module Class";
const char* const kEditorView = "editor";
const char* const kPlatformTypeHWND = "HWND";
const char* const kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

// ---- interfaces ----

class FUnknown {
public:
    virtual tresult VST3CALL queryInterface(const TUID iid, void** obj) = 0;
    virtual uint32_t VST3CALL addRef() = 0;
    virtual uint32_t VST3CALL release() = 0;
};

class IBStream : public FUnknown {
public:
    enum { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };
    virtual tresult VST3CALL read(void* buffer, int32_t numBytes, int32_t* numBytesRead) = 0;
    virtual tresult VST3CALL write(void* buffer, int32_t numBytes, int32_t* numBytesWritten) = 0;
    virtual tresult VST3CALL seek(int64_t pos, int32_t mode, int64_t* result) = 0;
    virtual tresult VST3CALL tell(int64_t* pos) = 0;
};

class IPluginFactory : public FUnknown {
public:
    virtual tresult VST3CALL getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32_t VST3CALL countClasses() = 0;
    virtual tresult VST3CALL getClassInfo(int32_t index, PClassInfo* info) = 0;
    virtual tresult VST3CALL createInstance(FIDString cid, FIDString iid, void** obj) = 0;
};

class IPluginFactory2 : public IPluginFactory {
public:
    virtual tresult VST3CALL getClassInfo2(int32_t index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2 {
public:
    virtual tresult VST3CALL getClassInfoUnicode(int32_t index, PClassInfoW* info) = 0;
    virtual tresult VST3CALL setHostContext(FUnknown* context) = 0;
};

class IPluginBase : public FUnknown {
public:
    virtual tresult VST3CALL initialize(FUnknown* context) = 0;
    virtual tresult VST3CALL terminate() = 0;
};

class IComponent : public IPluginBase {
public:
    virtual tresult VST3CALL getControllerClassId(TUID classId) = 0;
    virtual tresult VST3CALL setIoMode(int32_t mode) = 0;
    virtual int32_t VST3CALL getBusCount(int32_t type, int32_t dir) = 0;
    virtual tresult VST3CALL getBusInfo(int32_t type, int32_t dir, int32_t index, BusInfo& bus) = 0;
    virtual tresult VST3CALL getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult VST3CALL activateBus(int32_t type, int32_t dir, int32_t index, TBool state) = 0;
    virtual tresult VST3CALL setActive(TBool state) = 0;
    virtual tresult VST3CALL setState(IBStream* state) = 0;
    virtual tresult VST3CALL getState(IBStream* state) = 0;
};

class IAudioProcessor : public FUnknown {
public:
    virtual tresult VST3CALL setBusArrangements(SpeakerArrangement* inputs, int32_t numIns, SpeakerArrangement* outputs,
                                                int32_t numOuts) = 0;
    virtual tresult VST3CALL getBusArrangement(int32_t dir, int32_t index, SpeakerArrangement& arr) = 0;
    virtual tresult VST3CALL canProcessSampleSize(int32_t symbolicSampleSize) = 0;
    virtual uint32_t VST3CALL getLatencySamples() = 0;
    virtual tresult VST3CALL setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult VST3CALL setProcessing(TBool state) = 0;
    virtual tresult VST3CALL process(ProcessData& data) = 0;
    virtual uint32_t VST3CALL getTailSamples() = 0;
};

class IParamValueQueue : public FUnknown {
public:
    virtual ParamID VST3CALL getParameterId() = 0;
    virtual int32_t VST3CALL getPointCount() = 0;
    virtual tresult VST3CALL getPoint(int32_t index, int32_t& sampleOffset, ParamValue& value) = 0;
    virtual tresult VST3CALL addPoint(int32_t sampleOffset, ParamValue value, int32_t& index) = 0;
};

class IParameterChanges : public FUnknown {
public:
    virtual int32_t VST3CALL getParameterCount() = 0;
    virtual IParamValueQueue* VST3CALL getParameterData(int32_t index) = 0;
    virtual IParamValueQueue* VST3CALL addParameterData(const ParamID& id, int32_t& index) = 0;
};

class IEventList : public FUnknown {
public:
    virtual int32_t VST3CALL getEventCount() = 0;
    virtual tresult VST3CALL getEvent(int32_t index, Event& e) = 0;
    virtual tresult VST3CALL addEvent(Event& e) = 0;
};

class IComponentHandler : public FUnknown {
public:
    virtual tresult VST3CALL beginEdit(ParamID id) = 0;
    virtual tresult VST3CALL performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult VST3CALL endEdit(ParamID id) = 0;
    virtual tresult VST3CALL restartComponent(int32_t flags) = 0;
};

class IPlugView;

class IEditController : public IPluginBase {
public:
    virtual tresult VST3CALL setComponentState(IBStream* state) = 0;
    virtual tresult VST3CALL setState(IBStream* state) = 0;
    virtual tresult VST3CALL getState(IBStream* state) = 0;
    virtual int32_t VST3CALL getParameterCount() = 0;
    virtual tresult VST3CALL getParameterInfo(int32_t paramIndex, ParameterInfo& info) = 0;
    virtual tresult VST3CALL getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
    virtual tresult VST3CALL getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;
    virtual ParamValue VST3CALL normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue VST3CALL plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue VST3CALL getParamNormalized(ParamID id) = 0;
    virtual tresult VST3CALL setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult VST3CALL setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* VST3CALL createView(FIDString name) = 0;
};

class IMidiMapping : public FUnknown {
public:
    virtual tresult VST3CALL getMidiControllerAssignment(int32_t busIndex, int16_t channel, int16_t midiController,
                                                         ParamID& id) = 0;
};

class IPlugFrame;

class IPlugView : public FUnknown {
public:
    virtual tresult VST3CALL isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult VST3CALL attached(void* parent, FIDString type) = 0;
    virtual tresult VST3CALL removed() = 0;
    virtual tresult VST3CALL onWheel(float distance) = 0;
    virtual tresult VST3CALL onKeyDown(char16_t key, int16_t keyCode, int16_t modifiers) = 0;
    virtual tresult VST3CALL onKeyUp(char16_t key, int16_t keyCode, int16_t modifiers) = 0;
    virtual tresult VST3CALL getSize(ViewRect* size) = 0;
    virtual tresult VST3CALL onSize(ViewRect* newSize) = 0;
    virtual tresult VST3CALL onFocus(TBool state) = 0;
    virtual tresult VST3CALL setFrame(IPlugFrame* frame) = 0;
    virtual tresult VST3CALL canResize() = 0;
    virtual tresult VST3CALL checkSizeConstraint(ViewRect* rect) = 0;
};

class IPlugFrame : public FUnknown {
public:
    virtual tresult VST3CALL resizeView(IPlugView* view, ViewRect* newSize) = 0;
};

// Linux only: the host's frame offers its event loop through this.
class IEventHandler : public FUnknown {
public:
    virtual void VST3CALL onFDIsSet(int fd) = 0;
};

class ITimerHandler : public FUnknown {
public:
    virtual void VST3CALL onTimer() = 0;
};

class IRunLoop : public FUnknown {
public:
    virtual tresult VST3CALL registerEventHandler(IEventHandler* handler, int fd) = 0;
    virtual tresult VST3CALL unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult VST3CALL registerTimer(ITimerHandler* handler, uint64_t milliseconds) = 0;
    virtual tresult VST3CALL unregisterTimer(ITimerHandler* handler) = 0;
};

// The module's entry, found by name.
typedef IPluginFactory*(VST3CALL* GetFactoryProc)();

// ---- layout checks (Windows packs to 8, which natural alignment matches) ----

static_assert(sizeof(TUID) == 16 && sizeof(TChar) == 2, "basic types");
static_assert(sizeof(PFactoryInfo) == 452, "PFactoryInfo");
static_assert(sizeof(PClassInfo) == 116 && offsetof(PClassInfo, name) == 52, "PClassInfo");
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, classFlags) == 116 &&
                  offsetof(PClassInfo2, subCategories) == 120 && offsetof(PClassInfo2, sdkVersion) == 376,
              "PClassInfo2");
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, name) == 52 &&
                  offsetof(PClassInfoW, classFlags) == 180 && offsetof(PClassInfoW, vendor) == 312 &&
                  offsetof(PClassInfoW, sdkVersion) == 568,
              "PClassInfoW");
static_assert(sizeof(BusInfo) == 276 && offsetof(BusInfo, name) == 12 && offsetof(BusInfo, busType) == 268, "BusInfo");
static_assert(sizeof(RoutingInfo) == 12, "RoutingInfo");
static_assert(sizeof(ProcessSetup) == 24 && offsetof(ProcessSetup, sampleRate) == 16, "ProcessSetup");
static_assert(sizeof(AudioBusBuffers) == 24 && offsetof(AudioBusBuffers, silenceFlags) == 8 &&
                  offsetof(AudioBusBuffers, channelBuffers32) == 16,
              "AudioBusBuffers");
static_assert(sizeof(NoteOnEvent) == 20 && sizeof(NoteOffEvent) == 16, "note events");
static_assert(sizeof(Event) == 48 && offsetof(Event, ppqPosition) == 8 && offsetof(Event, flags) == 16 &&
                  offsetof(Event, type) == 18 && offsetof(Event, noteOn) == 24,
              "Event");
static_assert(sizeof(ParameterInfo) == 792 && offsetof(ParameterInfo, title) == 4 &&
                  offsetof(ParameterInfo, stepCount) == 772 && offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
                  offsetof(ParameterInfo, flags) == 788,
              "ParameterInfo");
static_assert(sizeof(ViewRect) == 16, "ViewRect");
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ProcessData) == 48 && offsetof(ProcessData, outputs) == 24 &&
                  offsetof(ProcessData, inputEvents) == 36,
              "ProcessData (32-bit)");
#else
static_assert(sizeof(ProcessData) == 80 && offsetof(ProcessData, outputs) == 32 &&
                  offsetof(ProcessData, inputEvents) == 56,
              "ProcessData (64-bit)");
#endif
static_assert(sizeof(FUnknown) == sizeof(void*), "an interface is one table pointer");

#if defined(_WIN32)
static_assert(iid::IComponent.bytes[0] == char(0x31) && iid::IComponent.bytes[4] == char(0xD5) &&
                  iid::IComponent.bytes[6] == char(0x01) && iid::IComponent.bytes[8] == char(0x92),
              "COM byte order");
#else
static_assert(iid::IComponent.bytes[0] == char(0xE8) && iid::IComponent.bytes[4] == char(0xF2) &&
                  iid::IComponent.bytes[7] == char(0x01) && iid::IComponent.bytes[15] == char(0x02),
              "plain byte order");
#endif

}  // namespace vst3
