#include "tools/download-server/RequestLog.h"

namespace DownloadServer {

void RequestLog::add(const std::string& method, const std::string& path, const std::string& range) {
    std::lock_guard lock(m_Mutex);
    m_Text += method + ' ' + path + ' ' + (range.empty() ? "-" : range) + '\n';
}

std::string RequestLog::text() const {
    std::lock_guard lock(m_Mutex);
    return m_Text;
}

void RequestLog::clear() {
    std::lock_guard lock(m_Mutex);
    m_Text.clear();
}

} // namespace DownloadServer
