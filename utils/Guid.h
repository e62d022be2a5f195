#pragma once

#include <string>

namespace Utils {

// A new random GUID as 32 hexadecimal digits without separators: upper case, except the third
// field, which is written in lower case. Empty when no random bytes could be had.
std::wstring NewGuidText();

} // namespace Utils
