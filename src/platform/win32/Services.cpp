#include <windows.h>

#include "platform/Platform.h"

namespace platform {
namespace {

class Win32Services : public Services {
public:
    bool chooseFile(const FileDialog&, char*, size_t) override { return false; }
    void showMessage(const char* text, const char* caption) override { MessageBoxA(nullptr, text, caption, MB_OK); }
    bool readLoadFolder(char*, size_t) override { return false; }
    void writeLoadFolder(const char*) override {}
};

Win32Services systemServices;
Services* current = &systemServices;

}  // namespace

Services& services() { return *current; }

Services* setServices(Services* replacement) {
    Services* previous = current;
    current = replacement ? replacement : &systemServices;
    return previous;
}

void yieldProcessor() { Sleep(0); }

char pathSeparator() { return '\\'; }

}  // namespace platform
