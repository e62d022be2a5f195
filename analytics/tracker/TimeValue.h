#pragma once

#include <cstdint>

namespace quxin::tracking {

// A time value given either in seconds or in milliseconds since 1970-01-01 UTC: from 157789440000 on
// it can only be milliseconds (as seconds it would lie thousands of years ahead).
struct SplitTime {
    int64_t seconds;
    int milliseconds;
};

inline constexpr int64_t kMillisecondsThreshold = 157789440000;

inline SplitTime splitTimeValue(int64_t value) {
    if (value >= kMillisecondsThreshold)
        return {value / 1000, static_cast<int>(value % 1000)};
    return {value, 0};
}

} // namespace quxin::tracking
