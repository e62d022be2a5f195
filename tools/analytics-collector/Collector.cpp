#include "tools/analytics-collector/Collector.h"

#include "tools/analytics-collector/BodyDecoder.h"

#include <httplib.h>

#include <fstream>

namespace AnalyticsCollector {

void Collector::install(httplib::Server& server) {
    server.Post("/_control/answer", [this](const httplib::Request& request, httplib::Response& response) {
        auto answer = ParseAnswer(request.get_param_value("set"));
        if (!answer) {
            response.status = 400;
            response.set_content("unknown answer\n", "text/plain");
            return;
        }
        std::lock_guard lock(m_Lock);
        m_Answer = *answer;
        m_FailNext = true;
        response.set_content("ok\n", "text/plain");
    });
    server.Get("/_control/requests", [this](const httplib::Request&, httplib::Response& response) {
        std::string text;
        {
            std::lock_guard lock(m_Lock);
            for (const std::string& line : m_Requests)
                text += line + "\n";
        }
        response.set_content(text, "text/plain");
    });
    server.Post("/_control/reset", [this](const httplib::Request&, httplib::Response& response) {
        std::lock_guard lock(m_Lock);
        m_Requests.clear();
        response.set_content("ok\n", "text/plain");
    });
    server.Post(R"(/(?!_control/).*)", [this](const httplib::Request& request, httplib::Response& response) {
        DecodedBatch batch = DecodeBody(request.body);
        std::string target = request.target;
        auto describe = [&](const std::string& status) {
            return status + "\t" + std::to_string(batch.records.size()) + "\t" + target + "\t" +
                   request.get_header_value("User-Agent") + "\t" + request.get_header_value("Content-Type");
        };
        if (!batch.error.empty()) {
            logRequest(describe("400"));
            response.status = 400;
            response.set_content(batch.error + "\n", "text/plain");
            return;
        }
        switch (nextAnswer()) {
        case Answer::Ok:
        case Answer::Alternate:
            if (!appendRecords(batch.records)) {
                logRequest(describe("500"));
                response.status = 500;
                response.set_content("cannot write the records\n", "text/plain");
                return;
            }
            logRequest(describe("200"));
            response.status = 200;
            response.set_content("ok\n", "text/plain");
            return;
        case Answer::Fail:
            logRequest(describe("500"));
            response.status = 500;
            response.set_content("collector told to fail\n", "text/plain");
            return;
        case Answer::Empty:
            logRequest(describe("204"));
            response.status = 204;
            return;
        case Answer::Stall:
            logRequest(describe("stall"));
            waitForStop();
            response.status = 503;
            return;
        }
    });
}

void Collector::stop() {
    {
        std::lock_guard lock(m_Lock);
        m_Stopping = true;
    }
    m_Stopped.notify_all();
}

Answer Collector::nextAnswer() {
    std::lock_guard lock(m_Lock);
    if (m_Answer != Answer::Alternate)
        return m_Answer;
    bool fail = m_FailNext;
    m_FailNext = !m_FailNext;
    return fail ? Answer::Fail : Answer::Ok;
}

void Collector::logRequest(const std::string& line) {
    std::lock_guard lock(m_Lock);
    m_Requests.push_back(line);
}

bool Collector::appendRecords(const std::vector<std::string>& records) {
    std::lock_guard lock(m_OutLock);
    std::ofstream file(m_Out, std::ios::binary | std::ios::app);
    for (const std::string& record : records)
        file << record << '\n';
    file.flush();
    return static_cast<bool>(file);
}

void Collector::waitForStop() {
    std::unique_lock lock(m_Lock);
    m_Stopped.wait(lock, [this] { return m_Stopping; });
}

} // namespace AnalyticsCollector
