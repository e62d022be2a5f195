#pragma once

#include <string>

// Text conversions between wide text and Windows-numbered code pages (0 = the system's 8-bit code
// page, 65001 = UTF-8), URL percent-encoding and replace-all.
namespace Utils {

std::wstring ToWide(const std::string& text, unsigned codePage);
std::string ToNarrow(const std::wstring& text, unsigned codePage);

// Percent-encodes the UTF-8 bytes of `text`; printable ASCII stays, so a whole URL can be passed.
std::wstring UrlEncode(const std::wstring& text);

// Replaces every occurrence of `what`, left to right; text that a replacement inserted is not searched
// again, so `with` may contain `what`. An empty `what` changes nothing.
std::wstring ReplaceAll(const std::wstring& text, const std::wstring& what, const std::wstring& with);

} // namespace Utils
