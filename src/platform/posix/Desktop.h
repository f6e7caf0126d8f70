// File dialogs and message boxes through zenity or kdialog, when a desktop
// session has one of them.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/Platform.h"

namespace platform {

// False when cancelled, when no dialog tool can be shown, or when the chosen
// path does not fit capacity.
bool desktopChooseFile(const FileDialog& dialog, char* path, size_t capacity);
// The same dialog, running beside the caller; null when none can be shown.
// Dropping it ends the tool.
std::unique_ptr<PendingDialog> desktopStartFileDialog(const FileDialog& dialog, size_t capacity);
// One line on standard error, and a message box when one can be shown.
void desktopMessage(const char* text, const char* caption);

}  // namespace platform
