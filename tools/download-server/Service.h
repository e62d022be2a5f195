#pragma once

#include "tools/download-server/FaultTable.h"
#include "tools/download-server/FileStore.h"
#include "tools/download-server/RequestLog.h"
#include "tools/download-server/StopFlag.h"

#include <filesystem>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace DownloadServer {

// The server's routes: files, redirect chains, and the /_control/ endpoint through which tests set
// faults (POST fault?path=P&faults=F), clear faults and log (POST reset) and read the log (GET log).
class Service {
public:
    Service(std::filesystem::path root, StopFlag& stop) : m_Files(std::move(root)), m_Stop(stop) {}

    FaultTable& faults() { return m_Faults; }
    void install(httplib::Server& server);

private:
    void answer(const httplib::Request& request, httplib::Response& response);
    void setFault(const httplib::Request& request, httplib::Response& response);

    FileStore m_Files;
    FaultTable m_Faults;
    RequestLog m_Log;
    StopFlag& m_Stop;
};

} // namespace DownloadServer
