// Catches the plug-in's messages to the user while alive, so that a scenario
// can check what it was told without anyone clicking. On Windows a helper
// thread reads and closes each message box; elsewhere the messages go to
// standard error (no desktop is offered to show them on), which is caught
// in a file.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <atomic>
#include <mutex>
#include <thread>
#endif

namespace testsupport {

#if defined(_WIN32)

class MessageCatcher {
public:
    explicit MessageCatcher(const std::string&) : thread([this] { watch(); }) {}
    ~MessageCatcher() {
        stop = true;
        thread.join();
    }
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;

    // Each message as "caption: text", in order.
    std::vector<std::string> messages() {
        std::lock_guard<std::mutex> lock(mutex);
        return seen;
    }

private:
    static BOOL CALLBACK findBox(HWND hwnd, LPARAM found) {
        char name[16] = {};
        DWORD process = 0;
        GetWindowThreadProcessId(hwnd, &process);
        if (process != GetCurrentProcessId() || !GetClassNameA(hwnd, name, sizeof name) ||
            std::string(name) != "#32770")
            return TRUE;
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    static BOOL CALLBACK findText(HWND child, LPARAM text) {
        char name[16] = {}, buffer[512] = {};
        if (GetClassNameA(child, name, sizeof name) && std::string(name) == "Static" &&
            GetWindowTextA(child, buffer, sizeof buffer) > 0)
            *reinterpret_cast<std::string*>(text) = buffer;
        return TRUE;
    }

    void watch() {
        while (!stop) {
            HWND box = nullptr;
            EnumWindows(findBox, reinterpret_cast<LPARAM>(&box));
            if (!box) {
                Sleep(10);
                continue;
            }
            char caption[256] = {};
            GetWindowTextA(box, caption, sizeof caption);
            std::string text;
            EnumChildWindows(box, findText, reinterpret_cast<LPARAM>(&text));
            {
                std::lock_guard<std::mutex> lock(mutex);
                seen.push_back(std::string(caption) + ": " + text);
            }
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            for (int i = 0; i < 500 && IsWindow(box); i++) Sleep(10);
        }
    }

    std::mutex mutex;
    std::vector<std::string> seen;
    std::atomic<bool> stop{false};
    std::thread thread;  // last: starts once the rest is in place
};

#else

class MessageCatcher {
public:
    // file: where standard error goes meanwhile.
    explicit MessageCatcher(const std::string& file) : file(file) {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
            const char* value = std::getenv(name);
            desktop.push_back({name, value ? value : "", value != nullptr});
            unsetenv(name);
        }
        std::fflush(stderr);
        saved = dup(2);
        int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) {
            dup2(fd, 2);
            close(fd);
        }
    }
    ~MessageCatcher() {
        std::fflush(stderr);
        if (saved >= 0) {
            dup2(saved, 2);
            close(saved);
        }
        for (const Variable& v : desktop)
            if (v.set) setenv(v.name, v.value.c_str(), 1);
    }
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;

    // Each message as "caption: text", in order.
    std::vector<std::string> messages() {
        std::fflush(stderr);
        std::vector<std::string> lines;
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

private:
    struct Variable {
        const char* name;
        std::string value;
        bool set;
    };
    std::string file;
    std::vector<Variable> desktop;
    int saved = -1;
};

#endif

}  // namespace testsupport
