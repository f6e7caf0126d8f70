// The seam between the system and the operating system's dialogs, message
// boxes, settings store and scheduler. Tests install recording fakes.
#pragma once

#include <cstddef>

namespace platform {

struct FileDialog {
    const char* filter;      // pairs of NUL-terminated texts, ended by an extra NUL
    const char* title;
    const char* initialDir;  // may be empty
    bool save;               // save dialog: asks before replacing an existing file
};

class Services {
public:
    virtual ~Services() = default;
    // Shows a modal file dialog. Returns false when cancelled; on true the
    // chosen path stands NUL-terminated in path (at most capacity - 1 chars).
    virtual bool chooseFile(const FileDialog& dialog, char* path, size_t capacity) = 0;
    // A modal message without owner window, one OK button.
    virtual void showMessage(const char* text, const char* caption) = 0;
    // The remembered load folder; false when none is stored.
    virtual bool readLoadFolder(char* folder, size_t capacity) = 0;
    virtual void writeLoadFolder(const char* folder) = 0;
};

// The services in use; the system's own unless a test installed others.
Services& services();
// Installs replacement services (null restores the system's); returns the previous.
Services* setServices(Services* replacement);
// The system's own services.
Services& systemServices();

// Gives up the rest of the time slice (the loaders' wait).
void yieldProcessor();

// Separator of path components on this system.
char pathSeparator();

// Moves a finished file over its target, replacing it; false on failure.
bool replaceFile(const char* from, const char* to);

}  // namespace platform
