#include "analytics/tracker/DeviceId.h"

#include "platform/TextCodec.h"
#include "utils/Guid.h"

#include <cctype>
#include <cstdio>
#include <random>

namespace quxin::tracking {
namespace {

constexpr int kFurtherAttempts = 10;

// 32 hexadecimal digits in the 8-4-4-4-12 form, upper case.
std::string guidForm(const std::string& digits) {
    std::string id;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i == 8 || i == 12 || i == 16 || i == 20)
            id += '-';
        id += static_cast<char>(std::toupper(static_cast<unsigned char>(digits[i])));
    }
    return id;
}

std::string pseudoRandomId() {
    std::random_device seed;
    std::mt19937 engine(seed());
    std::uniform_int_distribution<unsigned> draw(0, 2147483646);
    unsigned v[8];
    for (unsigned& value : v)
        value = draw(engine);
    v[3] = (v[3] & 0x0FFF) | 0x4000;
    v[4] = v[4] % 0x3FFF + 0x8000;
    char text[128];
    std::snprintf(text, sizeof text, "%x%x-%x-%x-%x-%x%x%x", v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
    return text;
}

} // namespace

std::string NewDeviceId() {
    (void)Utils::NewGuidText(); // discarded: ids have always come from a second request
    for (int attempt = 0; attempt < kFurtherAttempts; ++attempt) {
        std::string digits = Platform::ToUtf8(Utils::NewGuidText());
        if (digits.size() == 32)
            return guidForm(digits);
    }
    return pseudoRandomId();
}

} // namespace quxin::tracking
