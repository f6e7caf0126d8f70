#include <sched.h>

#include <cstdio>

#include "platform/Platform.h"

namespace platform {
namespace {

class PosixServices : public Services {
public:
    bool chooseFile(const FileDialog&, char*, size_t) override { return false; }
    void showMessage(const char* text, const char* caption) override {
        std::fprintf(stderr, "%s: %s\n", caption, text);
    }
    bool readLoadFolder(char*, size_t) override { return false; }
    void writeLoadFolder(const char*) override {}
};

PosixServices systemServices;
Services* current = &systemServices;

}  // namespace

Services& services() { return *current; }

Services* setServices(Services* replacement) {
    Services* previous = current;
    current = replacement ? replacement : &systemServices;
    return previous;
}

void yieldProcessor() { sched_yield(); }

char pathSeparator() { return '/'; }

}  // namespace platform
