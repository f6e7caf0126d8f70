// Shared set-up of the fuzz targets: quiet services, and file names kept
// inside a scratch folder so no input can name a device or a real file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/Platform.h"
#include "support/TempFolder.h"

namespace fuzz {

class QuietServices : public platform::Services {
public:
    bool chooseFile(const platform::FileDialog&, char*, size_t) override { return false; }
    void showMessage(const char*, const char*) override { messages++; }
    bool readLoadFolder(char*, size_t) override { return false; }
    void writeLoadFolder(const char*) override {}
    int messages = 0;
};

// Writes the input to a scratch file and returns its name.
inline std::string scratchFile(const uint8_t* data, size_t size, const char* name) {
    static testsupport::TempFolder folder;  // the run's own, removed at its end
    std::string path = folder.file(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

}  // namespace fuzz
