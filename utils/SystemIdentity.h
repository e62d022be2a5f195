#pragma once

#include <string>

namespace Utils {

// The operating system's family ("Linux") and its name with version, for example "Debian GNU/Linux 12".
void GetOsVersionName(std::wstring& family, std::wstring& name);

bool Is64BitSystem();

} // namespace Utils
