// analytics-collector: a local analytics collector for the tests and the demo. It decodes every posted
// batch, keeps the records of the batches it accepts as JSON lines, and answers as told (kUsage).
#include "tools/analytics-collector/Collector.h"
#include "tools/analytics-collector/Options.h"
#include "tools/common/LoopbackServer.h"

#include <httplib.h>

#include <iostream>

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

    ToolCommon::BlockStopSignals();
    Collector collector(options.out, options.answer);
    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    collector.install(server);
    return ToolCommon::ServeUntilStopped(server, "analytics-collector", options.port,
                                         [&] { collector.stop(); });
}
