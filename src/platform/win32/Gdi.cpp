// The toolkit's platform calls that Windows answers itself.
#include "platform/Gdi.h"

HINSTANCE platform::gdi::thisModule() {
    // Found from the address of this very function, so the name the file
    // was given when installed does not matter.
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&platform::gdi::thisModule), &module);
    return module;
}

void platform::gdi::pumpEvents() {}

// The editor's window is the child of the parent that this module created.
uintptr_t platform::gdi::nativeChildOf(uintptr_t parent) {
    const HINSTANCE module = thisModule();
    for (HWND child = GetWindow(reinterpret_cast<HWND>(parent), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(child, GWLP_HINSTANCE)) == module)
            return reinterpret_cast<uintptr_t>(child);
    return 0;
}
