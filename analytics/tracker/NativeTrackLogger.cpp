#include "analytics/tracker/NativeTrackLogger.h"

#include "utils/DebugLog.h"

#include <cstdio>

namespace quxin::tracking {

bool NativeTrackLogger::open(const std::string& path) {
    std::lock_guard lock(m_Lock);
    m_File.close();
    m_File.clear();
    m_File.open(path, std::ios::binary | std::ios::app);
    return m_File.is_open();
}

void NativeTrackLogger::close() {
    std::lock_guard lock(m_Lock);
    m_File.close();
}

void NativeTrackLogger::log(const std::string& text) {
    Utils::LocalTime t = Utils::NowLocal();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.millisecond);
    std::lock_guard lock(m_Lock);
    if (m_File.is_open())
        m_File << stamp << text << "\r\n";
}

void NativeTrackLogger::flush() {
    std::lock_guard lock(m_Lock);
    m_File.flush();
}

} // namespace quxin::tracking
