#pragma once

#include "tests/support/TestSupport.h"
#include "tests/support/ToolProcess.h"

#include <json/json.h>

#include <string>
#include <vector>

// The local analytics collector (bin/analytics-collector) as a child process for the life of this
// object: on an ephemeral port of 127.0.0.1, its records in a file of its own, stopped with SIGTERM.
class CollectorProcess {
public:
    // `answer`: ok, fail, empty, stall or alternate (see the collector's usage).
    explicit CollectorProcess(const std::string& answer = "ok");
    CollectorProcess(const CollectorProcess&) = delete;
    CollectorProcess& operator=(const CollectorProcess&) = delete;

    int port() const { return m_Process.port(); }
    // "http://127.0.0.1:<port>/collect?project=pc"
    std::string url() const;

    void setAnswer(const std::string& answer);
    // One line per post: status, records, target, user agent, content type (tab-separated).
    std::vector<std::string> requests() const;
    // The accepted records, as sent, in arrival order.
    std::vector<std::string> recordLines() const;
    std::vector<Json::Value> records() const;
    // Waits until at least `count` records arrived; false at the deadline.
    bool waitForRecords(size_t count) const;

    // Stops the collector and returns its exit status; later calls return it again.
    int stop() { return m_Process.stop(); }

private:
    TestSupport::TempDir m_Dir; // before the process: it names the records file
    TestSupport::ToolProcess m_Process;
};

// A JSON text parsed strictly; a null value when it is not JSON.
Json::Value ParseJson(const std::string& text);
