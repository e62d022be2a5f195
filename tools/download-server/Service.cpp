#include "tools/download-server/Service.h"

#include "tools/download-server/Connection.h"
#include "tools/download-server/FileAnswer.h"
#include "tools/download-server/FileRoute.h"

#include <httplib.h>

namespace DownloadServer {
namespace {

constexpr std::string_view kControlPrefix = "/_control/";

// Faults and the log use the path as the client sent it, before percent-decoding.
std::string SentPath(const httplib::Request& request) {
    return request.target.substr(0, request.target.find('?'));
}

} // namespace

void Service::install(httplib::Server& server) {
    server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        const std::string path = SentPath(request);
        if (!path.starts_with(kControlPrefix))
            m_Log.add(request.method, path, request.get_header_value("Range"));
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Post("/_control/fault", [this](const httplib::Request& request, httplib::Response& response) {
        setFault(request, response);
    });
    server.Post("/_control/reset", [this](const httplib::Request&, httplib::Response& response) {
        m_Faults.clearAll();
        m_Log.clear();
        response.set_content("ok\n", "text/plain");
    });
    server.Get("/_control/log", [this](const httplib::Request&, httplib::Response& response) {
        response.set_content(m_Log.text(), "text/plain");
    });
    // httplib answers HEAD with the GET handlers, without the body.
    server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        answer(request, response);
    });
}

void Service::setFault(const httplib::Request& request, httplib::Response& response) {
    const std::string path = request.get_param_value("path");
    const std::string list = request.get_param_value("faults");
    if (!path.starts_with('/')) {
        response.status = 400;
        response.set_content("path must start with '/'\n", "text/plain");
        return;
    }
    if (list.empty()) {
        m_Faults.clear(path);
    } else {
        FaultParse parsed = ParseFault(list);
        if (!parsed.fault) {
            response.status = 400;
            response.set_content(parsed.error + '\n', "text/plain");
            return;
        }
        m_Faults.set(path, *parsed.fault);
    }
    response.set_content("ok\n", "text/plain");
}

void Service::answer(const httplib::Request& request, httplib::Response& response) {
    const std::optional<Fault> fault = m_Faults.take(SentPath(request), request.method);
    if (fault && fault->delay.count() > 0 && !m_Stop.sleepFor(fault->delay)) {
        response.status = 503;
        return;
    }
    if (fault && fault->reset) {
        Connection::Reset(request);
        response.status = 500; // never arrives: httplib fails to send it and closes the descriptor
        return;
    }
    if (fault && fault->status) {
        response.status = *fault->status;
        return;
    }

    const FileRoute route = ParseFileRoute(request.path);
    const std::optional<std::filesystem::path> file = m_Files.find(route.name);
    if (route.kind == FileRoute::Kind::None || !file) {
        response.status = 404;
        return;
    }
    if (route.kind == FileRoute::Kind::Redirect) {
        const std::string name = EncodePathSegment(route.name);
        if (route.hops > 0) {
            response.set_redirect("/redirect/" + std::to_string(route.hops - 1) + '/' + name);
            return;
        }
        const std::optional<std::string> digest = m_Files.md5(*file);
        if (!digest) {
            response.status = 500;
            return;
        }
        response.set_redirect('/' + *digest + '/' + name);
        return;
    }
    AnswerFile(request, response, *file, fault, m_Stop);
}

} // namespace DownloadServer
