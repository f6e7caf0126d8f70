// The seam between the system and the operating system's dialogs, message
// boxes, settings store, files and scheduler. Tests install recording fakes
// for the services.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace platform {

struct FileDialog {
    const char* filter;  // pairs of NUL-terminated texts, ended by an extra NUL
    const char* title;
    const char* initialDir;  // may be empty
    bool save;               // save dialog: asks before replacing an existing file
};

// A file dialog shown without waiting for the user's answer.
class PendingDialog {
public:
    enum State { kOpen, kChosen, kCancelled };
    // Closes the dialog when it is still open.
    virtual ~PendingDialog() = default;
    // Never waits. On kChosen the path stands NUL-terminated in path, which
    // holds the capacity given when the dialog was started.
    virtual State poll(char* path) = 0;
};

class Services {
public:
    virtual ~Services() = default;
    // Shows a modal file dialog. Returns false when cancelled; on true the
    // chosen path stands NUL-terminated in path (at most capacity - 1 chars).
    virtual bool chooseFile(const FileDialog& dialog, char* path, size_t capacity) = 0;
    // The same dialog, left open while the caller goes on; null when none
    // can be shown (as if cancelled). This default answers through
    // chooseFile before it returns, which suits a dialog that keeps the
    // host's windows alive while it waits (Windows).
    virtual std::unique_ptr<PendingDialog> startFileDialog(const FileDialog& dialog, size_t capacity);
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

// Opens an existing regular file for binary reading without ever waiting on
// a pipe or device named by mistake: anything else (a folder, a FIFO, a
// device, a missing or unreadable file) gives null. size receives the
// file's length.
std::FILE* openRegularFile(const char* path, uint64_t* size);

// Creates a new file beside target, under a name that no existing file has,
// and opens it for binary writing; the name goes to name (capacity bytes).
// Null when no such file could be created.
std::FILE* createFileBeside(const char* target, char* name, size_t capacity);

}  // namespace platform
