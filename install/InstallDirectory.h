#pragma once

#include "install/EarlierInstallation.h"

#include <cstddef>
#include <string>

// The rules that pick the installation directory and decide whether the earlier installation is
// uninstalled first. Callers pass administrator facts read just before (AdminFacts::Read()).

// Directories proposed or derived here are cut to this length, as Windows path buffers (MAX_PATH) cut them.
inline constexpr size_t kMaxDirectoryLength = 259;

// `folder` and `name` with one separator between them.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The environment variable "APPDATA" only (no fallback folder): empty when unset, empty, or too long
// for a MAX_PATH buffer, which is when Windows could not read it either.
std::wstring ReadAppDataVariable();

// The earlier installation's directory while its uninstaller is still there; else, for an
// administrator at the console running the installer elevated, "$APPDATA/parvo/Tovaclip" when APPDATA
// is set; else the program-files folder's "Tovaclip".
std::wstring DefaultInstallDirectory(const EarlierInstallation& earlier, const AdminFacts& facts);

// Whether `directory` names the same folder as `defaultDirectory`. Compared lexically: "/./", "x/..",
// repeated or trailing separators and '\' written for '/' do not matter; letter case and links do.
bool NamesSameDirectory(const std::wstring& directory, const std::wstring& defaultDirectory);

// Whether the text of the directory field names the default directory.
bool IsDefaultInstallDirectory(const std::wstring& directory, const EarlierInstallation& earlier,
                               const AdminFacts& facts);

// The directory to install into for the text of the directory field: the default when the text names
// it, else a "Tovaclip" folder inside the folder the user picked.
std::wstring CustomInstallDirectory(const std::wstring& fieldText, const EarlierInstallation& earlier,
                                    const AdminFacts& facts);

// True when installing into `chosenDirectory` keeps the earlier installation (no uninstall): only into
// its own directory, and only when its hand-over file says [Uninstall] IsOverride=false exactly.
bool KeepsEarlierInstallation(const std::wstring& chosenDirectory, const EarlierInstallation& earlier);
