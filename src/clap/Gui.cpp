// The instrument's editor embedded in the host's window, opened and closed
// through the effect record's editor requests. Its idle runs from a host
// timer; on X11 nothing else delivers its input, so without the host's timer
// support the X11 API is refused. On Windows a host without timers gets the
// platform's idle timer instead.
#include <cstring>

#include "clap/Instance.h"
#include "platform/Gdi.h"

namespace clapface {

namespace {

#if defined(_WIN32)
const char* const kNativeApi = clap::kWindowApiWin32;
const bool kNeedsTimer = false;
void* nativeParent(const clap::Window& window) { return window.win32; }
#else
const char* const kNativeApi = clap::kWindowApiX11;
const bool kNeedsTimer = true;
void* nativeParent(const clap::Window& window) { return reinterpret_cast<void*>(uintptr_t(window.x11)); }
#endif

const clap::HostTimerSupport* hostTimers(const Instance& in) {
    if (!in.host || !in.host->getExtension) return nullptr;
    const auto* timers =
        static_cast<const clap::HostTimerSupport*>(in.host->getExtension(in.host, clap::kExtTimerSupport));
    return timers && timers->registerTimer && timers->unregisterTimer ? timers : nullptr;
}

bool supported(const Instance& in, const char* api, bool floating) {
    if (floating || !api || std::strcmp(api, kNativeApi) != 0) return false;
    return !kNeedsTimer || hostTimers(in) != nullptr;
}

bool CLAPCALL isApiSupported(const clap::Plugin* plugin, const char* api, bool floating) {
    return supported(instanceOf(plugin), api, floating);
}

bool CLAPCALL getPreferredApi(const clap::Plugin* plugin, const char** api, bool* floating) {
    if (!api || !floating || !supported(instanceOf(plugin), kNativeApi, false)) return false;
    *api = kNativeApi;
    *floating = false;
    return true;
}

bool hasEditor(const Instance& in) { return in.effect && (in.effect->flags & effFlagsHasEditor); }

void platformIdle(void* instance) {
    Instance& in = *static_cast<Instance*>(instance);
    if (in.gui.open) face::dispatch(in.effect, effEditIdle);
}

bool CLAPCALL create(const clap::Plugin* plugin, const char* api, bool floating) {
    Instance& in = instanceOf(plugin);
    if (in.gui.created || !hasEditor(in) || !supported(in, api, floating)) return false;
    if (const clap::HostTimerSupport* timers = hostTimers(in))
        in.gui.timer = timers->registerTimer(in.host, kIdlePeriodMs, &in.gui.timerId);
    if (kNeedsTimer && !in.gui.timer) return false;
    if (!in.gui.timer) in.gui.platformTimer = platform::gdi::startIdleTimer(platformIdle, &in, kIdlePeriodMs);
    in.gui.created = true;
    return true;
}

void closeEditor(Instance& in) {
    if (!in.gui.open) return;
    face::dispatch(in.effect, effEditClose);
    in.gui.open = false;
}

bool openEditor(Instance& in) {
    if (in.gui.open) return true;
    if (!in.gui.parent) return false;
    in.gui.open = face::openEditor(in.effect, in.gui.parent);
    return in.gui.open;
}

void CLAPCALL destroy(const clap::Plugin* plugin) { destroyGui(instanceOf(plugin)); }

bool CLAPCALL setScale(const clap::Plugin*, double) { return false; }

bool CLAPCALL getSize(const clap::Plugin* plugin, uint32_t* width, uint32_t* height) {
    if (!instanceOf(plugin).gui.created || !width || !height) return false;
    *width = kEditorWidth;
    *height = kEditorHeight;
    return true;
}

bool CLAPCALL canResize(const clap::Plugin*) { return false; }
bool CLAPCALL getResizeHints(const clap::Plugin*, clap::GuiResizeHints*) { return false; }
bool CLAPCALL adjustSize(const clap::Plugin*, uint32_t*, uint32_t*) { return false; }

bool CLAPCALL setSize(const clap::Plugin*, uint32_t width, uint32_t height) {
    return width == kEditorWidth && height == kEditorHeight;
}

bool CLAPCALL setParent(const clap::Plugin* plugin, const clap::Window* window) {
    Instance& in = instanceOf(plugin);
    if (!in.gui.created || in.gui.parent || !window || !window->api || std::strcmp(window->api, kNativeApi) != 0)
        return false;
    in.gui.parent = nativeParent(*window);
    if (openEditor(in)) return true;
    in.gui.parent = nullptr;
    return false;
}

bool CLAPCALL setTransient(const clap::Plugin*, const clap::Window*) { return false; }
void CLAPCALL suggestTitle(const clap::Plugin*, const char*) {}

// The editor's window inside the host's: what show and hide map and unmap.
uintptr_t editorWindow(const Instance& in) {
    return platform::gdi::nativeChildOf(reinterpret_cast<uintptr_t>(in.gui.parent));
}

// Hiding keeps the editor open (an open file dialog stays with it); the
// window comes back as it was.
bool CLAPCALL show(const clap::Plugin* plugin) {
    Instance& in = instanceOf(plugin);
    if (!in.gui.open) return openEditor(in);
    return platform::gdi::showNativeChild(editorWindow(in), true);
}

bool CLAPCALL hide(const clap::Plugin* plugin) {
    Instance& in = instanceOf(plugin);
    if (!in.gui.created) return false;
    return !in.gui.open || platform::gdi::showNativeChild(editorWindow(in), false);
}

const clap::PluginGui kGui = {isApiSupported, getPreferredApi, create,         destroy,    setScale,
                              getSize,        canResize,       getResizeHints, adjustSize, setSize,
                              setParent,      setTransient,    suggestTitle,   show,       hide};

void CLAPCALL onTimer(const clap::Plugin* plugin, clap::Id id) {
    Instance& in = instanceOf(plugin);
    if (in.gui.open && in.gui.timer && id == in.gui.timerId) face::dispatch(in.effect, effEditIdle);
}

const clap::PluginTimerSupport kTimer = {onTimer};

}  // namespace

void destroyGui(Instance& in) {
    if (!in.gui.created) return;
    closeEditor(in);
    if (in.gui.timer) {
        if (const clap::HostTimerSupport* timers = hostTimers(in)) timers->unregisterTimer(in.host, in.gui.timerId);
    }
    platform::gdi::stopIdleTimer(in.gui.platformTimer);
    in.gui = Gui();
}

const void* guiExtension() { return &kGui; }
const void* timerExtension() { return &kTimer; }

}  // namespace clapface
