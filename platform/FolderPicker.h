#pragma once

#include <optional>
#include <string>

namespace Platform {

// Asks the user for a folder with the desktop's own dialog (zenity, else kdialog) and waits for the
// answer. Nothing when the user cancels or no dialog program is there.
std::optional<std::wstring> PickFolder(const std::wstring& title);

} // namespace Platform
