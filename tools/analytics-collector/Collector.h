#pragma once

#include "tools/analytics-collector/Answer.h"

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace httplib {
class Server;
}

namespace AnalyticsCollector {

// The collector's state: how it answers, what it was sent, and where accepted records go.
class Collector {
public:
    Collector(std::filesystem::path out, Answer answer) : m_Out(std::move(out)), m_Answer(answer) {}

    // Routes: the control endpoints, and every other POST as a batch.
    void install(httplib::Server& server);
    // Ends every stalled answer; called when the collector stops.
    void stop();

private:
    // The status for the next batch, advancing the alternation.
    Answer nextAnswer();
    void logRequest(const std::string& line);
    bool appendRecords(const std::vector<std::string>& records);
    // Waits until stop(); used by the stall answer.
    void waitForStop();

    const std::filesystem::path m_Out;
    std::mutex m_Lock;
    std::condition_variable m_Stopped;
    Answer m_Answer;
    bool m_FailNext{true};
    bool m_Stopping{false};
    std::vector<std::string> m_Requests;
    std::mutex m_OutLock;
};

} // namespace AnalyticsCollector
