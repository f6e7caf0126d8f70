#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "platform/Platform.h"

namespace platform {
namespace {

const char kReadKey[] = "software\\morvantic\\";
const char kWriteKey[] = "software\\morvantic";
const char kValueName[] = "Kz316LoadPath";

bool queryFolder(HKEY hive, char* folder, size_t capacity) {
    HKEY key;
    if (capacity < 2 || RegOpenKeyExA(hive, kReadKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD size = DWORD(capacity - 1);
    LONG result = RegQueryValueExA(key, kValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return false;
    folder[size < capacity ? size : capacity - 1] = 0;
    return true;
}

bool setFolder(HKEY hive, const char* folder, bool create) {
    HKEY key;
    LONG opened = create ? RegCreateKeyExA(hive, kWriteKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr)
                         : RegOpenKeyExA(hive, kWriteKey, 0, KEY_SET_VALUE, &key);
    if (opened != ERROR_SUCCESS) return false;
    LONG result =
        RegSetValueExA(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder), DWORD(std::strlen(folder)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

class Win32Services : public Services {
public:
    bool chooseFile(const FileDialog& dialog, char* path, size_t capacity) override {
        OPENFILENAMEA record;
        std::memset(&record, 0, sizeof record);
        record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
        record.lpstrFilter = dialog.filter;
        record.nFilterIndex = 0;
        record.lpstrFile = path;
        record.nMaxFile = DWORD(capacity);
        record.lpstrInitialDir = dialog.initialDir;
        record.lpstrTitle = dialog.title;
        record.Flags = OFN_LONGNAMES | (dialog.save ? OFN_OVERWRITEPROMPT : 0);
        path[0] = 0;
        return (dialog.save ? GetSaveFileNameA(&record) : GetOpenFileNameA(&record)) != 0;
    }

    void showMessage(const char* text, const char* caption) override { MessageBoxA(nullptr, text, caption, MB_OK); }

    // An ordinary user cannot write the machine-wide value; the user's own
    // then stands in for it and is read first.
    bool readLoadFolder(char* folder, size_t capacity) override {
        return queryFolder(HKEY_CURRENT_USER, folder, capacity) || queryFolder(HKEY_LOCAL_MACHINE, folder, capacity);
    }

    void writeLoadFolder(const char* folder) override {
        if (!setFolder(HKEY_LOCAL_MACHINE, folder, true))
            setFolder(HKEY_CURRENT_USER, folder, true);
        else if (userValueExists())
            setFolder(HKEY_CURRENT_USER, folder, false);  // or it would shadow the new value
    }

private:
    static bool userValueExists() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kReadKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
        LONG result = RegQueryValueExA(key, kValueName, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }
};

}  // namespace

Services& systemServices() {
    static Win32Services system;
    return system;
}

void yieldProcessor() { Sleep(0); }

char pathSeparator() { return '\\'; }

}  // namespace platform
