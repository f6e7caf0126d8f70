// The WAV reader and the remembered folder through the real Windows calls
// (multimedia file I/O, audio compression manager, registry), run under
// Wine. Usage: wave-test.exe CORPUS_DIR [FILTER]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "files/Wave.h"
#include "instrument/DrumInstrument.h"
#include "platform/Platform.h"
#include "support/MiniTest.h"
#include "support/TempFolder.h"
#include "support/WaveCases.h"
#include "support/Watchdog.h"

using namespace wavetest;

namespace {

std::string corpus;
const char kScratch[] = "wave-test-files";

std::string written(const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(kScratch);
    std::string path = std::string(kScratch) + "\\" + name;
    CHECK(writeFile(path, bytes));
    return path;
}

void note(bool ok, const std::string& what) {
    if (!ok) std::printf("    in: %s\n", what.c_str());
}

bool conversionFailure(int result) { return result >= 1 && result <= 13; }

TEST_CASE(layouts_give_the_same_results_as_on_linux) {
    int i = 0;
    for (const LayoutCase& c : layoutCases()) {
        std::string path = written("layout" + std::to_string(i++) + ".wav", c.file);
        testsupport::Watchdog watchdog(c.name, 10);  // a size that wraps can send the walk in circles
        Decoded d = decode(path);
        // The system's converter may refuse a format at any step, not only
        // at the suggestion.
        if (c.result == kConvertNoSuggestion)
            note(CHECK(conversionFailure(d.result)), c.name);
        else
            note(CHECK_EQ(d.result, c.result), c.name);
    }
    CHECK_EQ(decode(std::string(kScratch) + "\\missing.wav").result, int(kWaveCannotOpen));
}

// A file of size bytes: head, then zeros that take no disk space.
bool sparseFile(const std::string& path, const Bytes& head, uint64_t size) {
    if (!writeFile(path, head)) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER end;
    end.QuadPart = LONGLONG(size);
    bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    return CloseHandle(file) && ok;
}

TEST_CASE(huge_files_of_zeros_are_refused_at_once) {
    testsupport::TempFolder folder;
    if (!CHECK(!folder.path().empty())) return;
    int i = 0;
    for (const HugeCase& c : hugeCases()) {
        std::string path = folder.file("huge" + std::to_string(i++) + ".wav");
        bool ok = CHECK(sparseFile(path, c.head, c.size));
        testsupport::Watchdog watchdog(c.name, 10);
        note(ok && CHECK_EQ(decode(path).result, c.result), c.name);
    }
}

TEST_CASE(sample_formats_give_the_same_values_as_on_linux) {
    int i = 0;
    for (const SampleCase& c : sampleCases()) {
        Decoded d = decode(written("samples" + std::to_string(i++) + ".wav", c.file));
        if (c.windows == OnWindows::kRefused) {
            note(CHECK(conversionFailure(d.result)), c.name);
            continue;
        }
        bool ok = CHECK_EQ(d.result, 0) && CHECK(d.allExact) && CHECK_EQ(d.values.size(), c.expected.size());
        for (size_t k = 0; ok && c.windows == OnWindows::kSame && k < c.expected.size(); k++)
            ok = CHECK_EQ(d.values[k], c.expected[k]);
        note(ok, c.name);
    }
}

TEST_CASE(sixteen_bit_mono_floats_are_identical_to_linux) {
    std::string path = written("identity.wav", identityFile());
    CHECK_EQ(floatChecksum(path), kIdentityChecksum);
}

TEST_CASE(sox_corpus_decodes) {
    std::vector<CorpusEntry> entries = readManifest(corpus);
    CHECK(entries.size() >= 20);
    for (const CorpusEntry& e : entries) {
        switch (e.windows) {
            case OnWindows::kSame: note(CHECK_STR(checkCorpusEntry(corpus, e).c_str(), ""), e.file); break;
            case OnWindows::kSimilar: note(CHECK_STR(checkSimilar(corpus, e).c_str(), ""), e.file); break;
            case OnWindows::kRefused:
                note(CHECK(conversionFailure(decode(corpus + "/" + e.file).result)), e.file);
                break;
        }
    }
}

TEST_CASE(loading_a_pad_through_the_system_calls) {
    DrumInstrument d(nullptr);
    std::string path = written("pad.wav", identityFile());
    d.loadSampleFile(5, path.c_str());
    CHECK_EQ(d.pads[5].sampleLength, 4000);
    CHECK_STR(d.pads[5].samplePath, path.c_str());
    d.unloadPad(5);
    CHECK(d.pads[5].sampleData == nullptr);
}

// Direct registry calls rather than the `reg` command: a fresh Wine prefix
// does not always have it yet.
bool setUserValue(const char* name, const char* text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Morvantic", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, name, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(text),
                                 DWORD(std::strlen(text) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool deleteUserKey() {
    return RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Morvantic") == ERROR_SUCCESS;
}

bool readFolder(std::string* folder) {
    char text[256] = {};
    bool found = platform::services().readLoadFolder(text, sizeof text);
    *folder = text;
    return found;
}

TEST_CASE(registry_remembers_the_load_folder) {
    std::string folder;
    platform::services().writeLoadFolder("C:\\Samples\\Kicks\\");
    CHECK(readFolder(&folder));
    CHECK_STR(folder.c_str(), "C:\\Samples\\Kicks\\");
    // A value of the user's own is read first, and kept up to date.
    CHECK(setUserValue("Kz316LoadPath", "D:\\Mine\\"));
    CHECK(readFolder(&folder));
    CHECK_STR(folder.c_str(), "D:\\Mine\\");
    platform::services().writeLoadFolder("E:\\Snares\\");
    CHECK(readFolder(&folder));
    CHECK_STR(folder.c_str(), "E:\\Snares\\");
    CHECK(deleteUserKey());
    CHECK(readFolder(&folder));
    CHECK_STR(folder.c_str(), "E:\\Snares\\");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: wave-test CORPUS_DIR [FILTER]\n");
        return 2;
    }
    corpus = argv[1];
    return minitest::runAll(argc > 2 ? argv[2] : "");
}
