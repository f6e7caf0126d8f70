#include "platform/Platform.h"

#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

Services* current = nullptr;

class AnsweredDialog : public PendingDialog {
public:
    AnsweredDialog(bool chosen, const char* path) : chosen(chosen), path(chosen ? path : "") {}
    State poll(char* out) override {
        if (!chosen) return kCancelled;
        std::memcpy(out, path.c_str(), path.size() + 1);
        return kChosen;
    }

private:
    bool chosen;
    std::string path;
};

}  // namespace

std::unique_ptr<PendingDialog> Services::startFileDialog(const FileDialog& dialog, size_t capacity) {
    if (capacity == 0) return nullptr;
    std::vector<char> path(capacity, 0);
    bool chosen = chooseFile(dialog, path.data(), capacity);
    path.back() = 0;
    return std::make_unique<AnsweredDialog>(chosen, path.data());
}

Services& services() { return current ? *current : systemServices(); }

Services* setServices(Services* replacement) {
    Services* previous = current ? current : &systemServices();
    current = replacement;
    return previous;
}

}  // namespace platform
