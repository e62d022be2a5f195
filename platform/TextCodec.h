#pragma once

#include <string>
#include <string_view>

// Conversions between wide text and 8-bit code pages, with the numbering of the Windows code pages:
// 0 is the system's 8-bit code page (the C locale's codeset), 65001 is UTF-8, any other N is "CPN".
namespace Platform {

inline constexpr unsigned kCodePageSystem = 0;
inline constexpr unsigned kCodePageUtf8 = 65001;

// UTF-8 decoding replaces every invalid sequence by U+FFFD; encoding replaces code points that are
// not Unicode scalar values the same way. Neither fails.
std::wstring FromUtf8(std::string_view text);
std::string ToUtf8(std::wstring_view text);

// Any code page. An unknown code page or text that it cannot carry gives an empty result.
std::wstring DecodeCodePage(std::string_view text, unsigned codePage);
std::string EncodeCodePage(std::wstring_view text, unsigned codePage);

// Paths and other texts handed to the C library use the system code page.
std::string NativeText(std::wstring_view text);
std::wstring FromNativeText(std::string_view text);

} // namespace Platform
