// download-server: a local HTTP server of test files, with faults on demand, for the downloader's
// tests, the benchmarks and the demo. See kUsage and Fault.h for the command line and the faults.
#include "tools/common/LoopbackServer.h"
#include "tools/download-server/Options.h"
#include "tools/download-server/Service.h"
#include "tools/download-server/StopFlag.h"

#include <httplib.h>

#include <iostream>
#include <sys/socket.h>

namespace {

// Connections stay open between requests (and stalled ones much longer), each holding a thread.
constexpr size_t kThreads = 64;

} // namespace

int main(int argc, char** argv) {
    using namespace DownloadServer;
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::cerr << "download-server: " << error << '\n' << kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    std::error_code ignored;
    if (!std::filesystem::is_directory(options.root, ignored)) {
        std::cerr << "download-server: " << options.root << " is not a folder\n";
        return 2;
    }

    ToolCommon::BlockStopSignals();
    StopFlag stop;
    Service service(options.root, stop);
    for (const auto& [path, fault] : options.faults)
        service.faults().set(path, fault);

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    // httplib's default adds SO_REUSEPORT, which would let a second server share a busy port.
    server.set_socket_options([](int socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server.set_keep_alive_max_count(1000);
    service.install(server);

    return ToolCommon::ServeUntilStopped(server, "download-server", options.port, [&] { stop.raise(); });
}
