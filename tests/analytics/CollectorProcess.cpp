#include "tests/analytics/CollectorProcess.h"

#include <httplib.h>

#include <memory>
#include <stdexcept>

CollectorProcess::CollectorProcess(const std::string& answer)
    : m_Process("analytics-collector",
                {"--out", (m_Dir.path() / "records.jsonl").string(), "--answer", answer}) {}

std::string CollectorProcess::url() const {
    return "http://127.0.0.1:" + std::to_string(port()) + "/collect?project=pc";
}

void CollectorProcess::setAnswer(const std::string& answer) {
    httplib::Client client("127.0.0.1", port());
    auto result = client.Post("/_control/answer?set=" + answer, "", "text/plain");
    if (!result || result->status != 200)
        throw std::runtime_error("analytics-collector refused the answer " + answer);
}

std::vector<std::string> CollectorProcess::requests() const {
    httplib::Client client("127.0.0.1", port());
    auto result = client.Get("/_control/requests");
    if (!result || result->status != 200)
        throw std::runtime_error("analytics-collector did not list its requests");
    return TestSupport::SplitLines(result->body);
}

std::vector<std::string> CollectorProcess::recordLines() const {
    return TestSupport::SplitLines(TestSupport::ReadFile(m_Dir.path() / "records.jsonl"));
}

std::vector<Json::Value> CollectorProcess::records() const {
    std::vector<Json::Value> values;
    for (const std::string& line : recordLines())
        values.push_back(ParseJson(line));
    return values;
}

bool CollectorProcess::waitForRecords(size_t count) const {
    return TestSupport::WaitUntil([&] { return recordLines().size() >= count; });
}

Json::Value ParseJson(const std::string& text) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value value;
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors))
        return Json::Value();
    return value;
}
