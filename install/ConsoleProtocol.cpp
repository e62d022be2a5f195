#include "install/ConsoleProtocol.h"

#include <cwchar>

namespace ConsoleProtocol {
namespace {

constexpr wchar_t kWhiteSpace[] = L" \t\r\n\v\f";

bool isWhiteSpace(wchar_t c) {
    return c != L'\0' && std::wcschr(kWhiteSpace, c) != nullptr;
}

} // namespace

bool TakeValue(std::wstring_view line, std::wstring_view key, std::wstring_view& value) {
    if (!line.starts_with(key))
        return false;
    value = line.substr(key.size());
    return true;
}

double ScanDouble(std::wstring_view value) {
    double number = 0.0;
    if (std::swscanf(std::wstring(value).c_str(), L"%lf", &number) != 1)
        return 0.0;
    return number;
}

bool ScanInteger(std::wstring_view& rest, int32_t& number) {
    size_t at = 0;
    while (at < rest.size() && isWhiteSpace(rest[at]))
        ++at;
    bool negative = false;
    if (at < rest.size() && (rest[at] == L'+' || rest[at] == L'-'))
        negative = rest[at++] == L'-';
    size_t firstDigit = at;
    uint32_t magnitude = 0;
    for (; at < rest.size() && rest[at] >= L'0' && rest[at] <= L'9'; ++at)
        magnitude = magnitude * 10u + static_cast<uint32_t>(rest[at] - L'0');
    if (at == firstDigit)
        return false;
    number = static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
    rest.remove_prefix(at);
    return true;
}

std::wstring ScanText(std::wstring_view value) {
    if (value.ends_with(L'\r'))
        value.remove_suffix(1);
    if (value.size() > kMaxText)
        return {};
    return std::wstring(value);
}

std::wstring Trim(std::wstring_view value) {
    while (!value.empty() && isWhiteSpace(value.front()))
        value.remove_prefix(1);
    while (!value.empty() && isWhiteSpace(value.back()))
        value.remove_suffix(1);
    return std::wstring(value);
}

} // namespace ConsoleProtocol
