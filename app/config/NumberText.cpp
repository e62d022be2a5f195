#include "app/config/NumberText.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cwchar>

NumberText::Result<int> NumberText::Integer(const std::wstring& text) {
    const wchar_t* start = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    long long value = std::wcstoll(start, &end, 10);
    if (end == start)
        return {Outcome::NoNumber, 0};
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return {Outcome::OutOfRange, 0};
    return {Outcome::Number, static_cast<int>(value)};
}

NumberText::Result<double> NumberText::Decimal(const std::wstring& text) {
    const wchar_t* start = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    double value = std::wcstod(start, &end);
    if (end == start)
        return {Outcome::NoNumber, 0.0};
    // Overflow, underflow, "inf" and "nan" give no usable share of anything.
    if (errno == ERANGE || !std::isfinite(value))
        return {Outcome::OutOfRange, 0.0};
    return {Outcome::Number, value};
}
