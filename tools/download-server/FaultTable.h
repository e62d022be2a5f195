#pragma once

#include "tools/download-server/Fault.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace DownloadServer {

// The faults in force, by request path (as the client sends it, without the query). Shared by every
// connection and the control endpoint.
class FaultTable {
public:
    void set(const std::string& path, const Fault& fault);
    void clear(const std::string& path);
    void clearAll();

    // The fault a request to `path` meets, if any; counts the request against times=K.
    std::optional<Fault> take(const std::string& path, std::string_view method);

private:
    std::mutex m_Mutex;
    std::map<std::string, Fault> m_Faults;
};

} // namespace DownloadServer
