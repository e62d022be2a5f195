#pragma once

#include <string>

namespace Utils {

// The operating system's family ("Linux") and its name with version, for example "Debian GNU/Linux 12".
void GetOsVersionName(std::wstring& family, std::wstring& name);

bool Is64BitSystem();

// The machine's hardware name as the kernel reports it ("x86_64", "aarch64"); empty when unknown.
std::wstring MachineName();

} // namespace Utils
