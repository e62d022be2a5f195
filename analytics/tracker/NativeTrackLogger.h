#pragma once

#include "analytics/tracker/TrackLogger.h"

#include <fstream>
#include <mutex>
#include <string>

namespace quxin::tracking {

// A log in a text file, one timestamped line per entry, safe to use from any thread.
class NativeTrackLogger : public TrackLogger {
public:
    // Opens the file for appending, creating it empty when missing. False when it cannot be opened.
    bool open(const std::string& path);
    void close();

    void log(const std::string& text) override;
    void flush() override;

private:
    std::mutex m_Lock;
    std::ofstream m_File;
};

} // namespace quxin::tracking
