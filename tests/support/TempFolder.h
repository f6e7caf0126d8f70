// A fresh folder for a test's files, removed with everything in it when the
// test is done. Portable (also built for Wine).
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

namespace testsupport {

class TempFolder {
public:
    TempFolder() {
        namespace fs = std::filesystem;
        std::error_code error;
        fs::path base = fs::temp_directory_path(error);
        // create_directory makes a folder only where there was none, so a name
        // in use is passed over and never shared.
        long long seed = static_cast<long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        for (int n = 0; n < 1000 && folder.empty(); n++) {
            fs::path candidate = base / ("kz318-test-" + std::to_string(seed) + "-" + std::to_string(n));
            if (fs::create_directory(candidate, error)) folder = candidate.string();
        }
    }
    ~TempFolder() {
        std::error_code error;
        if (!folder.empty()) std::filesystem::remove_all(folder, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Empty when no folder could be made.
    const std::string& path() const { return folder; }
    std::string file(const std::string& name) const { return (std::filesystem::path(folder) / name).string(); }
    std::string operator/(const std::string& name) const { return file(name); }

private:
    std::string folder;
};

}  // namespace testsupport
