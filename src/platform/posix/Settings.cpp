#include "platform/posix/Settings.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {
namespace {

std::string configHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    std::string folder = home && home[0] == '/' ? home : "";
    if (folder.empty()) {
        struct passwd entry, *found = nullptr;
        char buffer[4096];
        if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
            folder = found->pw_dir;
    }
    return folder.empty() ? folder : folder + "/.config";
}

bool makeFolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); at++) {
        if (at < path.size() && path[at] != '/') continue;
        if (mkdir(path.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

// The file's lines without their line breaks.
std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return lines;
    char* line = nullptr;
    size_t size = 0;
    ssize_t length;
    while ((length = getline(&line, &size, file)) >= 0) {
        while (length > 0 && (line[length - 1] == '\n' || line[length - 1] == '\r')) length--;
        lines.emplace_back(line, size_t(length));
    }
    std::free(line);
    std::fclose(file);
    return lines;
}

bool startsWithName(const std::string& line, const std::string& prefix) {
    return line.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string settingsPath() {
    std::string home = configHome();
    return home.empty() ? home : home + "/kz318.conf";
}

bool readSetting(const char* name, char* value, size_t capacity) {
    std::string path = settingsPath(), prefix = std::string(name) + "=";
    if (path.empty()) return false;
    for (const std::string& line : readLines(path)) {
        if (!startsWithName(line, prefix)) continue;
        size_t length = line.size() - prefix.size();
        if (length >= capacity) return false;
        std::memcpy(value, line.data() + prefix.size(), length);
        value[length] = 0;
        return true;
    }
    return false;
}

bool writeSetting(const char* name, const char* value) {
    std::string path = settingsPath(), prefix = std::string(name) + "=";
    if (path.empty() || std::strpbrk(value, "\r\n") || !makeFolders(path.substr(0, path.rfind('/')))) return false;
    std::string text;
    for (const std::string& line : readLines(path))
        if (!startsWithName(line, prefix)) text += line + "\n";
    text += prefix + value + "\n";
    // Written beside the file and renamed over it, so it is never half written.
    std::string temporary = path + ".XXXXXX";
    int fd = mkstemp(&temporary[0]);
    if (fd < 0) return false;
    bool written = write(fd, text.data(), text.size()) == ssize_t(text.size());
    written = close(fd) == 0 && written;
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

}  // namespace platform
