#include "uilib/Colour.h"

#include "uilib/NumberList.h"

namespace UiLib {

namespace {

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

} // namespace

std::uint32_t ParseColour(std::wstring_view text) {
    size_t pos = 0;
    while (pos < text.size() && static_cast<std::uint32_t>(text[pos]) <= 32)
        ++pos;
    if (pos < text.size() && text[pos] == L'#')
        ++pos;

    pos = SkipConversionSpace(text, pos);
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-'))
        negative = text[pos++] == L'-';
    // "0x" is a prefix only when a digit follows; otherwise the "0" is the number.
    if (pos + 2 < text.size() && text[pos] == L'0' && (text[pos + 1] == L'x' || text[pos + 1] == L'X') &&
        hexDigit(text[pos + 2]) >= 0)
        pos += 2;

    std::uint64_t value = 0;
    bool overflow = false;
    for (; pos < text.size() && hexDigit(text[pos]) >= 0; ++pos) {
        value = value * 16 + hexDigit(text[pos]);
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (overflow)
        return 0xFFFFFFFFu;
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? 0u - result : result;
}

} // namespace UiLib
