// The instrument's editor in a top-level window of its own. [editor]: the
// main loop's thread opens, idles and closes it.
#pragma once

#include <memory>
#include <string>

#include "platform/TopWindow.h"
#include "vst/aeffect.h"

namespace live {

class EditorWindow {
public:
    explicit EditorWindow(AEffect* effect) : effect(effect) {}
    ~EditorWindow() { close(); }
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // Shows the editor in a window titled `title`; false with a reason.
    bool open(const char* title, std::string& error);
    void close();
    bool isOpen() const { return window != nullptr; }
    // Gives the editor its idle time; false once the user closed the window
    // (the editor is then closed too).
    bool idle();

private:
    AEffect* effect;
    std::unique_ptr<platform::TopWindow> window;
};

}  // namespace live
