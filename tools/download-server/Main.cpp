// download-server: a local HTTP server of test files, with faults on demand, for the downloader's
// tests, the benchmarks and the demo. See kUsage and Fault.h for the command line and the faults.
#include "tools/download-server/Options.h"
#include "tools/download-server/Service.h"
#include "tools/download-server/StopFlag.h"

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>

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

    // A client that goes away must fail a send, not end the server.
    std::signal(SIGPIPE, SIG_IGN);
    // Blocked before any thread starts, so that only the waiter below ever receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

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

    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port("127.0.0.1");
    else if (!server.bind_to_port("127.0.0.1", port))
        port = -1;
    if (port <= 0) {
        std::cerr << "download-server: cannot listen on 127.0.0.1:" << options.port << '\n';
        return 1;
    }

    std::atomic<bool> listenEnded{false};
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        stop.raise();
        // httplib ignores stop() until the listening loop has started, and a test may ask for the
        // stop as soon as it has read the port.
        while (!server.is_running() && !listenEnded)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        server.stop();
    });
    std::printf("PORT %d\n", port);
    std::fflush(stdout);
    server.listen_after_bind();
    listenEnded = true;
    const bool asked = stop.raised();
    if (!asked)
        pthread_kill(waiter.native_handle(), SIGTERM); // let the waiter end
    waiter.join();
    if (!asked) {
        std::cerr << "download-server: the server stopped unexpectedly\n";
        return 1;
    }
    return 0;
}
