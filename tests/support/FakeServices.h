// Recording stand-ins for the system's dialogs, message boxes and settings
// store. Installing a ScopedFakeServices keeps every dialog off the screen.
#pragma once

#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace testsupport {

class FakeServices : public platform::Services {
public:
    struct Dialog {
        std::string filter;  // with its NUL separators and the closing extra NUL
        std::string title;
        std::string initialDir;
        bool save;
        size_t capacity;
    };
    struct Message {
        std::string text;
        std::string caption;
    };

    // Answers of the coming dialogs, in order: a path confirms, cancel() cancels.
    // With none queued a dialog is cancelled.
    void choose(const std::string& path) { answers.push_back({true, path}); }
    void cancel() { answers.push_back({false, ""}); }

    bool chooseFile(const platform::FileDialog& dialog, char* path, size_t capacity) override {
        const char* end = dialog.filter;
        while (*end) end += std::strlen(end) + 1;
        dialogs.push_back({std::string(dialog.filter, size_t(end - dialog.filter) + 1), dialog.title,
                           dialog.initialDir ? dialog.initialDir : "", dialog.save, capacity});
        if (answers.empty()) return false;
        std::pair<bool, std::string> answer = answers.front();
        answers.pop_front();
        if (!answer.first || answer.second.size() >= capacity) return false;
        std::memcpy(path, answer.second.c_str(), answer.second.size() + 1);
        return true;
    }

    void showMessage(const char* text, const char* caption) override { messages.push_back({text, caption}); }

    bool readLoadFolder(char* folder, size_t capacity) override {
        folderReads++;
        if (!hasFolder || storedFolder.size() >= capacity) return false;
        std::memcpy(folder, storedFolder.c_str(), storedFolder.size() + 1);
        return true;
    }

    void writeLoadFolder(const char* folder) override {
        folderWrites.push_back(folder);
        hasFolder = true;
        storedFolder = folder;
    }

    std::vector<Dialog> dialogs;
    std::vector<Message> messages;
    bool hasFolder = false;
    std::string storedFolder;
    std::vector<std::string> folderWrites;
    int folderReads = 0;

private:
    std::deque<std::pair<bool, std::string>> answers;
};

// Installs a FakeServices for its lifetime.
class ScopedFakeServices : public FakeServices {
public:
    ScopedFakeServices() : previous(platform::setServices(this)) {}
    ~ScopedFakeServices() override { platform::setServices(previous); }
    ScopedFakeServices(const ScopedFakeServices&) = delete;
    ScopedFakeServices& operator=(const ScopedFakeServices&) = delete;

private:
    platform::Services* previous;
};

}  // namespace testsupport
