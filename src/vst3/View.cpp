#include "vst3/View.h"

#include <cstring>

#include "face/Face.h"
#include "platform/Gdi.h"
#include "vst3/Plugin.h"

namespace vst3face {

using namespace vst3;

namespace {

const int32_t kWidth = 670;
const int32_t kHeight = 400;
// The editor polls its dialogs and repaints on idle.
const uint64_t kIdleMilliseconds = 30;

#if defined(_WIN32)
const char* const kPlatformType = kPlatformTypeHWND;
#else
const char* const kPlatformType = kPlatformTypeX11EmbedWindowID;
#endif

}  // namespace

View::View(Plugin* owner) : plugin(owner) { static_cast<IComponent*>(plugin)->addRef(); }

View::~View() {
    close();
    static_cast<IComponent*>(plugin)->release();
}

tresult View::queryInterface(const TUID iid, void** obj) {
    if (!obj) return kInvalidArgument;
    void* found = nullptr;
    if (sameUid(iid, iid::FUnknown) || sameUid(iid, iid::IPlugView))
        found = static_cast<IPlugView*>(this);
    else if (sameUid(iid, iid::ITimerHandler))
        found = static_cast<ITimerHandler*>(this);
    *obj = found;
    if (!found) return kNoInterface;
    addRef();
    return kResultOk;
}

uint32_t View::addRef() { return ++references; }

uint32_t View::release() {
    const uint32_t left = --references;
    if (left == 0) delete this;
    return left;
}

tresult View::isPlatformTypeSupported(FIDString type) {
    return type && std::strcmp(type, kPlatformType) == 0 ? kResultTrue : kResultFalse;
}

tresult View::attached(void* parent, FIDString type) {
    if (!parent || isPlatformTypeSupported(type) != kResultTrue) return kInvalidArgument;
    AEffect* effect = plugin->effect();
    if (open || !effect || plugin->editorOpen()) return kResultFalse;
#if !defined(_WIN32)
    // Without the host's run loop nothing would ever idle the editor.
    void* loop = nullptr;
    if (!frame || frame->queryInterface(iid::IRunLoop.bytes, &loop) != kResultOk || !loop) return kResultFalse;
    runLoop = static_cast<IRunLoop*>(loop);
#endif
    if (!face::openEditor(effect, parent)) {
        if (runLoop) runLoop->release();
        runLoop = nullptr;
        return kResultFalse;
    }
    open = true;
    plugin->viewOpened(this);
    if (runLoop)
        runLoop->registerTimer(this, kIdleMilliseconds);
    else
        idleTimer = platform::gdi::startIdleTimer(idleTick, this, kIdleMilliseconds);
    return kResultOk;
}

tresult View::removed() {
    if (!open) return kResultFalse;
    close();
    return kResultOk;
}

void View::close() {
    if (!open) return;
    if (runLoop) {
        runLoop->unregisterTimer(this);
        runLoop->release();
        runLoop = nullptr;
    }
    platform::gdi::stopIdleTimer(idleTimer);
    idleTimer = 0;
    open = false;
    plugin->viewGone(this);
    if (AEffect* effect = plugin->effect()) face::dispatch(effect, effEditClose);
}

void View::idleTick(void* view) { static_cast<View*>(view)->onTimer(); }

void View::onTimer() {
    if (AEffect* effect = open ? plugin->effect() : nullptr) face::dispatch(effect, effEditIdle);
}

tresult View::getSize(ViewRect* size) {
    if (!size) return kInvalidArgument;
    *size = ViewRect{0, 0, kWidth, kHeight};
    return kResultOk;
}

tresult View::onSize(ViewRect* size) {
    if (!size) return kInvalidArgument;
    return size->right - size->left == kWidth && size->bottom - size->top == kHeight ? kResultOk : kResultFalse;
}

tresult View::setFrame(IPlugFrame* hostFrame) {
    frame = hostFrame;
    return kResultOk;
}

tresult View::checkSizeConstraint(ViewRect* rect) {
    if (!rect) return kInvalidArgument;
    rect->right = rect->left + kWidth;
    rect->bottom = rect->top + kHeight;
    return kResultTrue;
}

}  // namespace vst3face
