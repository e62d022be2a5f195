#include "tools/analytics-collector/Options.h"

#include "tools/common/CommandLine.h"

#include <string_view>

namespace AnalyticsCollector {

const char* const kUsage =
    "usage: analytics-collector --out FILE [--port N] [--answer ok|fail|empty|stall|alternate]\n"
    "  Accepts analytics batches posted to 127.0.0.1 and prints \"PORT <n>\" once listening.\n"
    "  Every record of an accepted batch is appended to FILE as one JSON line.\n"
    "  --out FILE     where the records go (appended)\n"
    "  --port N       port to listen on; 0 (the default) takes any free port\n"
    "  --answer MODE  ok: 200 and the records are kept (default); fail: 500; empty: 204;\n"
    "                 stall: no answer until the collector stops; alternate: 500, 200, 500, ...\n"
    "  Control: POST /_control/answer?set=MODE, GET /_control/requests (one line per post:\n"
    "  status, records, target, user agent, content type; tab-separated), POST /_control/reset.\n";

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    bool hasOut = false;
    auto read = [&](std::string_view option, std::string_view value) -> std::string {
        if (option == "--out") {
            options.out = value;
            hasOut = !value.empty();
        } else if (option == "--port") {
            if (!ToolCommon::ParsePort(value, options.port))
                return "invalid port '" + std::string(value) + "'";
        } else {
            auto answer = ParseAnswer(value);
            if (!answer)
                return "unknown answer '" + std::string(value) + "'";
            options.answer = *answer;
        }
        return {};
    };
    if (!ToolCommon::ReadValueOptions(argc, argv, {"--out", "--port", "--answer"}, read, options.help, error))
        return false;
    if (!hasOut && !options.help) {
        error = "--out is required";
        return false;
    }
    return true;
}

} // namespace AnalyticsCollector
