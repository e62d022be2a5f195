#pragma once

#include <string>

namespace quxin::tracking {

// Where the tracker may write its own log. Nothing writes entries yet; the tracker keeps the file open
// for its lifetime.
class TrackLogger {
public:
    virtual ~TrackLogger() = default;
    virtual void log(const std::string& text) = 0;
    virtual void flush() = 0;
};

} // namespace quxin::tracking
