// Paths that name something other than a readable regular file, for the
// readers' hostile cases: each must be refused at once, without waiting on
// it or reading further than its first bytes. Portable: the kinds only
// POSIX has are left out on Windows, which has its device names instead.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>
#include <vector>

namespace testsupport {

class HostilePaths {
public:
    struct Path {
        std::string kind;
        std::string path;
        bool unreadable;  // open it inside a WithoutRoot scope
    };

    // Made in folder; content is what the unreadable file holds, something
    // that would be accepted if it could be read.
    HostilePaths(const std::string& folder, const std::vector<uint8_t>& content) {
        namespace fs = std::filesystem;
        std::error_code error;
        auto file = [&folder](const char* name) { return (fs::path(folder) / name).string(); };
        std::string dir = file("folder");
        fs::create_directory(dir, error);
        add("a folder", dir);
        std::string sparse = file("sparse");
        write(sparse, {});
        fs::resize_file(sparse, uint64_t(2) << 30, error);  // no disk blocks: a hole
        add("a sparse 2 GiB file of zeros", sparse);
        std::string locked = file("unreadable");
        write(locked, content);
#if defined(_WIN32)
        for (const char* device : {"NUL", "CON", "COM1", "\\\\.\\NUL"}) add(std::string("device ") + device, device);
        add("a device name with a folder and extension", file("nul.wav"));
        // Held open without sharing: nobody else can read it meanwhile.
        lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (lock != INVALID_HANDLE_VALUE) add("a file held open without sharing", locked);
#else
        // Traversable for the user that WithoutRoot switches to.
        chmod(folder.c_str(), 0755);
        std::string fifo = file("fifo");
        if (mkfifo(fifo.c_str(), 0600) == 0) add("a FIFO without a writer", fifo);
        add("/dev/zero", "/dev/zero");
        std::string loopA = file("loop-a"), loopB = file("loop-b");
        if (symlink(loopB.c_str(), loopA.c_str()) == 0 && symlink(loopA.c_str(), loopB.c_str()) == 0)
            add("a symbolic link loop", loopA);
        if (chmod(locked.c_str(), 0) == 0) paths.push_back({"a file without read permission", locked, true});
#endif
    }
    ~HostilePaths() {
#if defined(_WIN32)
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
#endif
    }
    HostilePaths(const HostilePaths&) = delete;
    HostilePaths& operator=(const HostilePaths&) = delete;

    const std::vector<Path>& all() const { return paths; }

private:
    void add(const std::string& kind, const std::string& path) { paths.push_back({kind, path, false}); }
    static void write(const std::string& path, const std::vector<uint8_t>& bytes) {
        if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
            if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }

    std::vector<Path> paths;
#if defined(_WIN32)
    HANDLE lock = INVALID_HANDLE_VALUE;
#endif
};

// Tests run as root, who may read any file: while alive (and asked to), files
// are opened as an ordinary user, so that a file without read permission is
// unreadable here too.
class WithoutRoot {
public:
    explicit WithoutRoot(bool wanted) {
#if !defined(_WIN32)
        switched = wanted && geteuid() == 0 && seteuid(65534) == 0;
#else
        (void)wanted;
#endif
    }
    ~WithoutRoot() {
#if !defined(_WIN32)
        if (switched && seteuid(0) != 0) std::abort();
#endif
    }
    WithoutRoot(const WithoutRoot&) = delete;
    WithoutRoot& operator=(const WithoutRoot&) = delete;

private:
    bool switched = false;
};

}  // namespace testsupport
