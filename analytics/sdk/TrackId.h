#pragma once

#include <cstdint>

namespace qx_analytics {

// Nine decimal digits read as a number (so leading zeros vanish): two from r1, three from r2, the
// last four of the time in milliseconds.
int32_t ComposeTrackId(int r1, int r2, int64_t nowMilliseconds);
// A fresh track id from two successive values of the C library's generator.
int32_t NewTrackId(int64_t nowMilliseconds);

} // namespace qx_analytics
