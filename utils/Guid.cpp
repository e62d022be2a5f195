#include "utils/Guid.h"

#include <cstdint>
#include <cwchar>
#include <sys/random.h>

namespace Utils {

std::wstring NewGuidText() {
    uint8_t b[16];
    size_t got = 0;
    while (got < sizeof b) {
        ssize_t n = getrandom(b + got, sizeof b - got, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return {};
        }
        got += static_cast<size_t>(n);
    }
    // Version 4 (random) in the third field, RFC 4122 variant in the fourth byte group.
    b[6] = static_cast<uint8_t>((b[6] & 0x0F) | 0x40);
    b[8] = static_cast<uint8_t>((b[8] & 0x3F) | 0x80);
    uint32_t data1 = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
    unsigned data2 = unsigned(b[4]) << 8 | b[5];
    unsigned data3 = unsigned(b[6]) << 8 | b[7];
    wchar_t text[33];
    swprintf(text, 33, L"%08X%04X%04x%02X%02X%02X%02X%02X%02X%02X%02X", data1, data2, data3, b[8], b[9],
             b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

} // namespace Utils
