#include <sched.h>

#include "platform/Platform.h"
#include "platform/posix/Desktop.h"
#include "platform/posix/Settings.h"

namespace platform {
namespace {

const char kLoadFolderName[] = "Kz316LoadPath";

class PosixServices : public Services {
public:
    bool chooseFile(const FileDialog& dialog, char* path, size_t capacity) override {
        return desktopChooseFile(dialog, path, capacity);
    }
    // The host's windows would freeze while waiting: the dialog runs beside them.
    std::unique_ptr<PendingDialog> startFileDialog(const FileDialog& dialog, size_t capacity) override {
        return desktopStartFileDialog(dialog, capacity);
    }
    void showMessage(const char* text, const char* caption) override { desktopMessage(text, caption); }
    bool readLoadFolder(char* folder, size_t capacity) override {
        return readSetting(kLoadFolderName, folder, capacity);
    }
    void writeLoadFolder(const char* folder) override { writeSetting(kLoadFolderName, folder); }
};

}  // namespace

Services& systemServices() {
    static PosixServices system;
    return system;
}

void yieldProcessor() { sched_yield(); }

char pathSeparator() { return '/'; }

}  // namespace platform
