// Recording stand-ins for the system's dialogs, message boxes and settings
// store. Installing a ScopedFakeServices keeps every dialog off the screen.
#pragma once

#include <cstring>
#include <deque>
#include <memory>
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

    // From holdDialogs() to releaseDialogs() the dialogs started stay open:
    // they take their answer at once but give it only at a poll after the
    // release, as a dialog the user still looks at would.
    void holdDialogs() { hold->holding = true; }
    void releaseDialogs() { hold->holding = false; }
    // Held dialogs closed by their opener before they answered.
    int dialogsClosedUnanswered() const { return hold->closedUnanswered; }

    std::unique_ptr<platform::PendingDialog> startFileDialog(const platform::FileDialog& dialog,
                                                             size_t capacity) override {
        if (!hold->holding) return Services::startFileDialog(dialog, capacity);
        std::vector<char> path(capacity, 0);
        bool chosen = chooseFile(dialog, path.data(), capacity);
        return std::make_unique<HeldDialog>(hold, chosen, path.data());
    }

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
    struct Hold {
        bool holding = false;
        int closedUnanswered = 0;
    };
    class HeldDialog : public platform::PendingDialog {
    public:
        HeldDialog(std::shared_ptr<Hold> hold, bool chosen, const std::string& path)
            : hold(std::move(hold)), chosen(chosen), path(path) {}
        ~HeldDialog() override {
            if (!answered) hold->closedUnanswered++;
        }
        State poll(char* out) override {
            if (hold->holding) return kOpen;
            answered = true;
            if (!chosen) return kCancelled;
            std::memcpy(out, path.c_str(), path.size() + 1);
            return kChosen;
        }

    private:
        std::shared_ptr<Hold> hold;
        bool chosen, answered = false;
        std::string path;
    };

    std::deque<std::pair<bool, std::string>> answers;
    std::shared_ptr<Hold> hold = std::make_shared<Hold>();
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
