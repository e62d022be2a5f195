#include "tools/common/LoopbackServer.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>
#include <thread>

namespace ToolCommon {
namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    return signals;
}

} // namespace

void BlockStopSignals() {
    std::signal(SIGPIPE, SIG_IGN);
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

int ServeUntilStopped(httplib::Server& server, std::string_view tool, int port,
                      const std::function<void()>& onStop) {
    int bound = port;
    if (bound == 0)
        bound = server.bind_to_any_port("127.0.0.1");
    else if (!server.bind_to_port("127.0.0.1", bound))
        bound = -1;
    if (bound <= 0) {
        std::cerr << tool << ": cannot listen on 127.0.0.1:" << port << '\n';
        return 1;
    }

    std::atomic<bool> asked{false};
    std::atomic<bool> listenEnded{false};
    std::thread waiter([&] {
        const sigset_t signals = StopSignals();
        int signal = 0;
        sigwait(&signals, &signal);
        asked = true;
        onStop();
        // httplib ignores stop() until the listening loop has started, and a test may ask for the
        // stop as soon as it has read the port.
        while (!server.is_running() && !listenEnded)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        server.stop();
    });
    std::printf("PORT %d\n", bound);
    std::fflush(stdout);
    server.listen_after_bind();
    listenEnded = true;
    onStop();
    if (!asked)
        pthread_kill(waiter.native_handle(), SIGTERM); // let the waiter end
    waiter.join();
    if (!asked) {
        std::cerr << tool << ": the server stopped unexpectedly\n";
        return 1;
    }
    return 0;
}

} // namespace ToolCommon
