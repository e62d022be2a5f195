// analytics-collector: a local analytics collector for the tests and the demo. It decodes every posted
// batch, keeps the records of the batches it accepts as JSON lines, and answers as told (kUsage).
#include "tools/analytics-collector/Collector.h"
#include "tools/analytics-collector/Options.h"

#include <httplib.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>
#include <thread>

namespace {

// Stalled posts each hold a thread until the collector stops.
constexpr size_t kThreads = 32;

} // namespace

int main(int argc, char** argv) {
    using namespace AnalyticsCollector;
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::cerr << "analytics-collector: " << error << '\n' << kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }

    std::signal(SIGPIPE, SIG_IGN);
    // Blocked before any thread starts, so that only the waiter below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Collector collector(options.out, options.answer);
    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    collector.install(server);

    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port("127.0.0.1");
    else if (!server.bind_to_port("127.0.0.1", port))
        port = -1;
    if (port <= 0) {
        std::cerr << "analytics-collector: cannot listen on 127.0.0.1:" << options.port << '\n';
        return 1;
    }

    std::atomic<bool> asked{false};
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        asked = true;
        collector.stop();
        server.stop();
    });
    std::printf("PORT %d\n", port);
    std::fflush(stdout);
    server.listen_after_bind();
    collector.stop();
    if (!asked)
        pthread_kill(waiter.native_handle(), SIGTERM); // let the waiter end
    waiter.join();
    if (!asked) {
        std::cerr << "analytics-collector: the server stopped unexpectedly\n";
        return 1;
    }
    return 0;
}
