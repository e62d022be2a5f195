#pragma once

#include "tests/support/ToolProcess.h"

#include <filesystem>
#include <string>
#include <vector>

namespace TestSupport {

// The local download server (bin/download-server) serving the files of `root`, run as a child process
// for the life of this object: started on an ephemeral port of 127.0.0.1, stopped with SIGTERM.
// Faults use the fault syntax of the server, e.g. setFault("/setup.exe", "cut=1000,times=1").
class DownloadServer {
public:
    explicit DownloadServer(const std::filesystem::path& root,
                            const std::vector<std::string>& extraArguments = {});
    DownloadServer(const DownloadServer&) = delete;
    DownloadServer& operator=(const DownloadServer&) = delete;

    int port() const { return m_Process.port(); }
    // "http://127.0.0.1:<port><path>"
    std::string url(const std::string& path) const;

    // Sets the fault for requests to `path` (as sent, e.g. "/setup.exe"); an empty list clears it.
    // Throws std::runtime_error with the server's reason when it refuses the list.
    void setFault(const std::string& path, const std::string& faults);
    // Clears every fault and the request log.
    void reset();
    // "METHOD PATH RANGE" per request, in arrival order; RANGE is the Range header or "-".
    std::vector<std::string> log() const;

    // Stops the server and returns its exit status (0 for a clean stop); later calls return it again.
    int stop() { return m_Process.stop(); }

private:
    ToolProcess m_Process;
};

} // namespace TestSupport
