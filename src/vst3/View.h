// The instrument's own editor in a host's window: a view that accepts the
// X11 embed window id on Linux and an HWND on Windows and opens the editor
// through effEditOpen, as a VST 2 host does. On Linux it idles through the
// host frame's run loop. [editor]
#pragma once

#include <atomic>

#include "vst3/Vst3Abi.h"

namespace vst3face {

class Plugin;

class View : public vst3::IPlugView, public vst3::ITimerHandler {
public:
    explicit View(Plugin* plugin);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    vst3::tresult VST3CALL queryInterface(const vst3::TUID iid, void** obj) override;
    uint32_t VST3CALL addRef() override;
    uint32_t VST3CALL release() override;

    vst3::tresult VST3CALL isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult VST3CALL attached(void* parent, vst3::FIDString type) override;
    vst3::tresult VST3CALL removed() override;
    vst3::tresult VST3CALL onWheel(float) override { return vst3::kResultFalse; }
    vst3::tresult VST3CALL onKeyDown(char16_t, int16_t, int16_t) override { return vst3::kResultFalse; }
    vst3::tresult VST3CALL onKeyUp(char16_t, int16_t, int16_t) override { return vst3::kResultFalse; }
    vst3::tresult VST3CALL getSize(vst3::ViewRect* size) override;
    vst3::tresult VST3CALL onSize(vst3::ViewRect* newSize) override;
    vst3::tresult VST3CALL onFocus(vst3::TBool) override { return vst3::kResultOk; }
    vst3::tresult VST3CALL setFrame(vst3::IPlugFrame* frame) override;
    vst3::tresult VST3CALL canResize() override { return vst3::kResultFalse; }
    vst3::tresult VST3CALL checkSizeConstraint(vst3::ViewRect* rect) override;

    void VST3CALL onTimer() override;

    // Closes the editor if it is open: on removed, on release and when the
    // instrument is terminated first.
    void close();

private:
    static void idleTick(void* view);

    Plugin* plugin;
    std::atomic<uint32_t> references{1};
    vst3::IPlugFrame* frame = nullptr;
    vst3::IRunLoop* runLoop = nullptr;
    uintptr_t idleTimer = 0;  // the platform's, where there is no run loop
    bool open = false;
};

}  // namespace vst3face
