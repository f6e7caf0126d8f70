#include "live/EditorWindow.h"

#include "face/Face.h"

namespace live {

bool EditorWindow::open(const char* title, std::string& error) {
    if (window) return true;
    if (!(effect->flags & effFlagsHasEditor)) return (error = "the instrument has no editor"), false;
    ERect* rect = nullptr;
    face::dispatch(effect, effEditGetRect, 0, 0, &rect);
    if (!rect) return (error = "the editor gave no size"), false;
    window = platform::TopWindow::create(title, rect->right - rect->left, rect->bottom - rect->top);
    if (!window) return (error = "no X display for the editor window (--no-gui plays without it)"), false;
    if (!face::dispatch(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(window->handle()))) {
        window.reset();
        return (error = "the editor could not be opened"), false;
    }
    window->show();
    return true;
}

void EditorWindow::close() {
    if (!window) return;
    face::dispatch(effect, effEditClose);
    window.reset();
}

bool EditorWindow::idle() {
    if (!window) return false;
    face::dispatch(effect, effEditIdle);
    if (!window->closeRequested()) return true;
    close();
    return false;
}

}  // namespace live
