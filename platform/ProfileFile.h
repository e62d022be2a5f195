#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Profile (INI) files read and written with the semantics of the Windows profile-string functions:
// section and key names compared without regard to ASCII case, the first matching section and the
// first matching key in it win, values trimmed of surrounding blanks and of one pair of quotes.
// Files are UTF-8 (a BOM is accepted); ';' and '#' start comment lines.
namespace Platform {

// The value, trimmed and unquoted, never cut; nullopt when the key, its section or the file is missing.
std::optional<std::wstring> FindProfileString(const std::wstring& section, const std::wstring& key,
                                              const std::wstring& path);

// The value, or `defaultValue` when absent, cut to bufferSize - 1 characters.
std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                              const std::wstring& defaultValue, const std::wstring& path, size_t bufferSize);

// The value's leading decimal digits (0 when there are none). `defaultValue` when the key is absent
// or the number does not fit an int, so that callers keep their previous setting.
int GetProfileInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                  const std::wstring& path);

// Sets one value and keeps every other line of the file byte for byte. Creates the file, not its
// folder. Safe against other processes writing the same file at the same time, and the file is
// replaced atomically. False for values that cannot be stored (a line break) and for names that
// cannot be (empty, '=' in a key, ']' in a section, a key that would read as a comment or section).
bool WriteProfileString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                        const std::wstring& path);

} // namespace Platform
