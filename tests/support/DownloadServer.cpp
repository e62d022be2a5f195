#include "tests/support/DownloadServer.h"

#include "tests/support/TestSupport.h"

#include <httplib.h>

#include <stdexcept>

namespace TestSupport {
namespace {

std::vector<std::string> ServerArguments(const std::filesystem::path& root,
                                         const std::vector<std::string>& extraArguments) {
    std::vector<std::string> arguments = {"--root", root.string()};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
    return arguments;
}

} // namespace

DownloadServer::DownloadServer(const std::filesystem::path& root,
                               const std::vector<std::string>& extraArguments)
    : m_Process("download-server", ServerArguments(root, extraArguments)) {}

std::string DownloadServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port()) + path;
}

void DownloadServer::setFault(const std::string& path, const std::string& faults) {
    httplib::Client client("127.0.0.1", port());
    const httplib::Params query = {{"path", path}, {"faults", faults}};
    auto answer = client.Post(httplib::append_query_params("/_control/fault", query), "", "text/plain");
    if (!answer)
        throw std::runtime_error("download-server unreachable: " + httplib::to_string(answer.error()));
    if (answer->status != 200)
        throw std::runtime_error("download-server refused the fault: " + answer->body);
}

void DownloadServer::reset() {
    httplib::Client client("127.0.0.1", port());
    auto answer = client.Post("/_control/reset");
    if (!answer || answer->status != 200)
        throw std::runtime_error("download-server did not reset");
}

std::vector<std::string> DownloadServer::log() const {
    httplib::Client client("127.0.0.1", port());
    auto answer = client.Get("/_control/log");
    if (!answer || answer->status != 200)
        throw std::runtime_error("download-server did not give its log");
    return SplitLines(answer->body);
}

} // namespace TestSupport
