#pragma once

#include <algorithm>
#include <cwctype>
#include <string>
#include <string_view>

// Comparisons "without regard to case", as element names, window attributes and archive entries
// are compared.
namespace UiLib {

inline wchar_t LowerLetter(wchar_t c) {
    return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

inline std::wstring ToLower(std::wstring_view text) {
    std::wstring lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerLetter);
    return lower;
}

inline bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return LowerLetter(x) == LowerLetter(y);
           });
}

} // namespace UiLib
