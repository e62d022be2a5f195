#pragma once

#include <string>
#include <vector>

// The folders the installer uses, as wide paths without a trailing separator. Each derives from the
// environment (HOME, XDG_*, TMPDIR, APPDATA, PROGRAMFILES, PUBLIC), so a test isolates itself by
// pointing those at a temporary directory.
namespace Platform {

inline constexpr wchar_t kPathSeparator = L'/';

std::wstring AppDataDir();                    // "APPDATA" of the environment
std::wstring LocalAppDataDir();               // per-user application data
std::wstring CommonDocumentsDir();            // shared by every user of the machine
std::wstring ProgramFilesDir();               // where programs are installed by default
std::wstring UserTempDir();                   // the user's temporary path
std::wstring UserConfigDir();                 // per-user settings (XDG_CONFIG_HOME)
std::wstring ExecutablePath();                // the running program
std::wstring ExecutableDir();                 // its folder
std::vector<std::wstring> ProcessArguments(); // the running program's arguments, the program path first

// The text after the last separator.
std::wstring FileNameOf(const std::wstring& path);
// The text before the last separator; empty when there is none.
std::wstring DirectoryOf(const std::wstring& path);

} // namespace Platform
