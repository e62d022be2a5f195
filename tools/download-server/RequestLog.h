#pragma once

#include <mutex>
#include <string>

namespace DownloadServer {

// One line per request, in arrival order, for tests to see what a client really asked.
class RequestLog {
public:
    void add(const std::string& method, const std::string& path, const std::string& range);
    std::string text() const;
    void clear();

private:
    mutable std::mutex m_Mutex;
    std::string m_Text;
};

} // namespace DownloadServer
