#pragma once

#include "platform/Geometry.h"

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace UiLib {

// Reads a signed decimal number at `pos` the way the standard conversion does on the original
// 32-bit system: white space, an optional sign, digits; clamped to the int range. Without digits the
// value is 0 and `pos` is not moved.
int ReadDecimal(std::wstring_view text, size_t& pos);

// Fills `values` from a list such as "2,2,2,2" or "600, 400": each number is read after stepping over
// the one character that ended the previous one, so any single separator works and blanks after it
// are allowed. Values after the end of the text are 0.
void ParseNumberList(std::wstring_view text, std::span<int> values);

// "left,top,right,bottom" and "cx,cy" attribute values.
inline Platform::Rect ParseRect(std::wstring_view text) {
    std::array<int, 4> values{};
    ParseNumberList(text, values);
    return {values[0], values[1], values[2], values[3]};
}
inline Platform::Size ParseSize(std::wstring_view text) {
    std::array<int, 2> values{};
    ParseNumberList(text, values);
    return {values[0], values[1]};
}
inline int ParseInt(std::wstring_view text) {
    size_t pos = 0;
    return ReadDecimal(text, pos);
}
// Boolean attributes are true only when written "true".
inline bool ParseBool(std::wstring_view text) {
    return text == L"true";
}

// White space as the standard conversions skip it.
size_t SkipConversionSpace(std::wstring_view text, size_t pos);

} // namespace UiLib
