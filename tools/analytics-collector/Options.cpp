#include "tools/analytics-collector/Options.h"

#include <charconv>
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
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return true;
        }
        if (option != "--out" && option != "--port" && option != "--answer") {
            error = "unknown option '" + std::string(option) + "'";
            return false;
        }
        if (i + 1 >= argc) {
            error = std::string(option) + " needs a value";
            return false;
        }
        const std::string_view value = argv[++i];
        if (option == "--out") {
            options.out = value;
            hasOut = !value.empty();
        } else if (option == "--port") {
            auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), options.port);
            if (value.empty() || failure != std::errc() || end != value.data() + value.size() ||
                options.port < 0 || options.port > 65535) {
                error = "invalid port '" + std::string(value) + "'";
                return false;
            }
        } else {
            auto answer = ParseAnswer(value);
            if (!answer) {
                error = "unknown answer '" + std::string(value) + "'";
                return false;
            }
            options.answer = *answer;
        }
    }
    if (!hasOut) {
        error = "--out is required";
        return false;
    }
    return true;
}

} // namespace AnalyticsCollector
