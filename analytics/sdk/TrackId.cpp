#include "analytics/sdk/TrackId.h"

#include <cstdlib>
#include <mutex>

namespace qx_analytics {

int32_t ComposeTrackId(int r1, int r2, int64_t nowMilliseconds) {
    int64_t first = (r1 % 99 + 100) % 100;
    int64_t second = (r2 % 999 + 1000) % 1000;
    int64_t third = nowMilliseconds % 10000;
    if (third < 0)
        third += 10000;
    return static_cast<int32_t>(first * 10'000'000 + second * 10'000 + third);
}

int32_t NewTrackId(int64_t nowMilliseconds) {
    static std::mutex lock; // the two values must be successive ones
    int r1, r2;
    {
        std::lock_guard guard(lock);
        r1 = std::rand();
        r2 = std::rand();
    }
    return ComposeTrackId(r1, r2, nowMilliseconds);
}

} // namespace qx_analytics
