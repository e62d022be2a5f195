#include "analytics/sdk/Validation.h"

#include "analytics/sdk/Diagnostics.h"

namespace qx_analytics {
namespace {

bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool inRange(unsigned char c, unsigned char low, unsigned char high) {
    return c >= low && c <= high;
}

} // namespace

bool CheckName(const std::string& label, const std::string& value) {
    if (value.empty() || value.size() > kMaxNameLength) {
        ErrorLine("The " + label + " is empty or too long, max length is 100");
        return false;
    }
    auto first = static_cast<unsigned char>(value[0]);
    bool valid = isLetter(first) || first == '$' || first == '_';
    for (size_t i = 1; valid && i < value.size(); ++i) {
        auto c = static_cast<unsigned char>(value[i]);
        valid = isLetter(c) || isDigit(c) || c == '$' || c == '_';
    }
    if (!valid)
        ErrorLine("The " + label + " need to be a valid variable name.");
    return valid;
}

bool CheckId(const std::string& label, const std::string& value) {
    if (value.empty()) {
        ErrorLine("The " + label + " is empty.");
        return false;
    }
    if (value.size() > kMaxIdLength) {
        ErrorLine("The " + label + " is too long, max length is 255.");
        return false;
    }
    return true;
}

bool IsStrictUtf8(std::string_view text) {
    const size_t size = text.size();
    auto at = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    // True when the `count` bytes after `i` exist and are continuation bytes, the first of them in
    // [firstLow, firstHigh].
    auto followedBy = [&](size_t i, size_t count, unsigned char firstLow, unsigned char firstHigh) {
        if (i + count >= size)
            return false;
        if (!inRange(at(i + 1), firstLow, firstHigh))
            return false;
        for (size_t k = 2; k <= count; ++k)
            if (!inRange(at(i + k), 0x80, 0xBF))
                return false;
        return true;
    };
    for (size_t i = 0; i < size;) {
        unsigned char c = at(i);
        size_t length = 0;
        if (c == '\t' || c == '\n' || c == '\r' || inRange(c, 32, 126))
            length = 1;
        else if (inRange(c, 0xC2, 0xDF) && followedBy(i, 1, 0x80, 0xBF))
            length = 2;
        else if (c == 0xE0 && followedBy(i, 2, 0xA0, 0xBF))
            length = 3;
        else if ((inRange(c, 0xE1, 0xEC) || c == 0xEE || c == 0xEF) && followedBy(i, 2, 0x80, 0xBF))
            length = 3;
        else if (c == 0xED && followedBy(i, 2, 0x80, 0x9F))
            length = 3;
        else if (c == 0xF0 && followedBy(i, 3, 0x90, 0xBF))
            length = 4;
        else if (inRange(c, 0xF1, 0xF3) && followedBy(i, 3, 0x80, 0xBF))
            length = 4;
        else if (c == 0xF4 && followedBy(i, 3, 0x80, 0x8F))
            length = 4;
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

bool CheckStringValue(const std::string& key, const std::string& value) {
    if (value.size() > kMaxStringLength) {
        ErrorLine("String property '" + key + "' is too long, value: " + value);
        return false;
    }
    if (!IsStrictUtf8(value)) {
        ErrorLine("String property '" + key + "' is not valid UTF-8 string, value: " + value);
        return false;
    }
    return true;
}

} // namespace qx_analytics
