#pragma once

#include <string>

namespace Utils {

// The installer's own folder inside the user's temporary path, with a trailing separator; created
// when missing. Empty when it cannot be created.
std::wstring GetTempDir();

// Creates every missing level of `path`. True when all of them exist afterwards; false for a path
// longer than 260 characters or a level that cannot be created (levels made so far stay).
bool CreateDirectories(const std::wstring& path);

bool DirectoryExists(const std::wstring& path);
bool FileExists(const std::wstring& path);

} // namespace Utils
