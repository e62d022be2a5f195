#include "uilib/NumberList.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace UiLib {

size_t SkipConversionSpace(std::wstring_view text, size_t pos) {
    while (pos < text.size() && (text[pos] == L' ' || (text[pos] >= L'\t' && text[pos] <= L'\r')))
        ++pos;
    return pos;
}

int ReadDecimal(std::wstring_view text, size_t& pos) {
    size_t at = SkipConversionSpace(text, pos);
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-'))
        negative = text[at++] == L'-';
    const size_t digits = at;
    std::int64_t magnitude = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at)
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[at] - L'0'), std::int64_t(INT_MAX) + 1);
    if (at == digits)
        return 0;
    pos = at;
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

void ParseNumberList(std::wstring_view text, std::span<int> values) {
    size_t pos = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            ++pos;
        values[i] = pos < text.size() ? ReadDecimal(text, pos) : 0;
    }
}

} // namespace UiLib
