#include "tools/download-server/Options.h"

#include <charconv>
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
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return true;
        }
        if (option != "--root" && option != "--port" && option != "--fault") {
            error = "unknown option '" + std::string(option) + "'";
            return false;
        }
        if (i + 1 >= argc) {
            error = std::string(option) + " needs a value";
            return false;
        }
        const std::string_view value = argv[++i];
        if (option == "--root") {
            options.root = value;
            hasRoot = !value.empty();
        } else if (option == "--port") {
            auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), options.port);
            if (value.empty() || failure != std::errc() || end != value.data() + value.size() ||
                options.port < 0 || options.port > 65535) {
                error = "invalid port '" + std::string(value) + "'";
                return false;
            }
        } else {
            const size_t equals = value.find('=');
            if (equals == std::string_view::npos || !value.starts_with('/')) {
                error = "--fault takes PATH=FAULTS with PATH starting with '/'";
                return false;
            }
            FaultParse parsed = ParseFault(value.substr(equals + 1));
            if (!parsed.fault) {
                error = "--fault " + std::string(value) + ": " + parsed.error;
                return false;
            }
            options.faults.emplace_back(std::string(value.substr(0, equals)), *parsed.fault);
        }
    }
    if (!hasRoot) {
        error = "--root is required";
        return false;
    }
    return true;
}

} // namespace DownloadServer
