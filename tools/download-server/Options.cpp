#include "tools/download-server/Options.h"

#include "tools/common/CommandLine.h"

#include <string_view>

namespace DownloadServer {

const char* const kUsage =
    "usage: download-server --root DIR [--port N] [--fault PATH=FAULTS ...]\n"
    "  Serves the files of DIR on 127.0.0.1 and prints \"PORT <n>\" once listening.\n"
    "  --port N             port to listen on; 0 (the default) takes any free port\n"
    "  --fault PATH=FAULTS  misbehave for requests to PATH, e.g. /setup.exe=cut=1000,times=1\n"
    "  FAULTS, comma-separated: cut=N reset stall status=CODE nolength norange overrange=N\n"
    "                           delay=MS head=ok get times=K\n"
    "  At run time: POST /_control/fault?path=PATH&faults=FAULTS (empty FAULTS clears),\n"
    "               POST /_control/reset, GET /_control/log\n";

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    bool hasRoot = false;
    auto read = [&](std::string_view option, std::string_view value) -> std::string {
        if (option == "--root") {
            options.root = value;
            hasRoot = !value.empty();
        } else if (option == "--port") {
            if (!ToolCommon::ParsePort(value, options.port))
                return "invalid port '" + std::string(value) + "'";
        } else {
            const size_t equals = value.find('=');
            if (equals == std::string_view::npos || !value.starts_with('/'))
                return "--fault takes PATH=FAULTS with PATH starting with '/'";
            FaultParse parsed = ParseFault(value.substr(equals + 1));
            if (!parsed.fault)
                return "--fault " + std::string(value) + ": " + parsed.error;
            options.faults.emplace_back(std::string(value.substr(0, equals)), *parsed.fault);
        }
        return {};
    };
    if (!ToolCommon::ReadValueOptions(argc, argv, {"--root", "--port", "--fault"}, read, options.help, error))
        return false;
    if (!hasRoot && !options.help) {
        error = "--root is required";
        return false;
    }
    return true;
}

} // namespace DownloadServer
