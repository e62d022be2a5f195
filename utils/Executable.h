#pragma once

#include <string>

namespace Utils {

// Gives a downloaded or copied program the mode 0755 so that it can be started. False when the mode
// cannot be set (the start then fails and is reported as such).
bool MakeExecutable(const std::wstring& path);

} // namespace Utils
