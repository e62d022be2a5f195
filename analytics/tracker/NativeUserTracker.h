#pragma once

#include <cstdint>
#include <string>

namespace quxin::tracking {

// Changes the collector's profile of the current user. A fixed table decides per key whether a value
// is set, set only once, accumulated or appended; a value that does not fit its key's mode, or a key
// the table lacks, throws QxException before anything is queued. Each accepted call queues one record.
class NativeUserTracker {
public:
    enum class Mode { Unsupported = 0, SetOnce = 1, Accumulate = 2, Set = 3, Append = 4 };

    static Mode modeOf(const std::string& key);

    static void ProfileUserPropertyString(const std::string& key, const std::string& value);
    static void ProfileUserPropertyNumber(const std::string& key, int value);
    static void ProfileUserPropertyNumber(const std::string& key, double value);
    // Seconds or milliseconds since 1970-01-01 UTC (see splitTimeValue).
    static void ProfileUserPropertyDateTime(const std::string& key, int64_t value);
};

} // namespace quxin::tracking
