#include "tools/download-server/FaultTable.h"

namespace DownloadServer {

void FaultTable::set(const std::string& path, const Fault& fault) {
    std::lock_guard lock(m_Mutex);
    m_Faults[path] = fault;
}

void FaultTable::clear(const std::string& path) {
    std::lock_guard lock(m_Mutex);
    m_Faults.erase(path);
}

void FaultTable::clearAll() {
    std::lock_guard lock(m_Mutex);
    m_Faults.clear();
}

std::optional<Fault> FaultTable::take(const std::string& path, std::string_view method) {
    std::lock_guard lock(m_Mutex);
    auto found = m_Faults.find(path);
    if (found == m_Faults.end() || !found->second.appliesTo(method))
        return std::nullopt;
    Fault fault = found->second;
    if (found->second.times && --*found->second.times == 0)
        m_Faults.erase(found);
    return fault;
}

} // namespace DownloadServer
