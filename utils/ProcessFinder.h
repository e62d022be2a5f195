#pragma once

#include <cstdint>
#include <string>

namespace Utils {

// The id of a running process whose executable file name (the base name of its executable, as in
// "setup.exe" or "Tovaclip") equals `exeFileName` exactly, case included; 0 when there is none.
// Processes whose executable cannot be read (another user's, kernel threads) are not considered.
uint32_t FindProcessByName(const std::wstring& exeFileName);

} // namespace Utils
