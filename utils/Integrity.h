#pragma once

#include <string>

namespace Utils {

// MD5 of a file's bytes as 32 lower-case hexadecimal digits; empty for an empty path or a file that
// cannot be opened.
std::string FileMd5(const std::wstring& path);

// The last folder name of a URL or path: the text between the last two "/"; empty when there are
// fewer than two. A download URL carries the package's expected MD5 there.
std::string LastDirSegment(const std::string& url);

} // namespace Utils
