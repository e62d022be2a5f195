// Many threads reporting while the collector refuses every other post: every record arrives exactly
// once or waits in the staging file for the next run. Meant to run under ThreadSanitizer too.
#include "analytics/tracker/UsageTrackerWrapper.h"
#include "tests/analytics/TrackerFixture.h"

#include <map>
#include <thread>

using namespace quxin::tracking;

TEST_F(TrackerTest, NoRecordIsLostOrDuplicatedWhileHalfThePostsFail) {
    constexpr int kThreads = 4;
    constexpr int kTasksPerThread = 120;
    constexpr int kFlushEvery = 20;
    CollectorProcess collector("alternate");
    std::map<std::string, int> expected;
    std::string errors = TestSupport::CaptureStandardError([&] {
        auto tracker = config(collector.url()).createTracker();
        std::vector<std::thread> reporters;
        for (int t = 0; t < kThreads; ++t) {
            reporters.emplace_back([&tracker, t] {
                for (int i = 0; i < kTasksPerThread; ++i) {
                    QxContextProperties context;
                    QxEventTask task;
                    task.name = "task-" + std::to_string(t) + "-" + std::to_string(i);
                    tracker->trackTask(task, context);
                    if (i % kFlushEvery == kFlushEvery - 1)
                        tracker->trackUninstall("reporter-" + std::to_string(t) + "-" + std::to_string(i),
                                                context);
                }
            });
        }
        for (auto& reporter : reporters)
            reporter.join();
    });
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kTasksPerThread; ++i) {
            expected["task-" + std::to_string(t) + "-" + std::to_string(i)] = 1;
            if (i % kFlushEvery == kFlushEvery - 1)
                expected["reporter-" + std::to_string(t) + "-" + std::to_string(i)] = 1;
        }

    std::map<std::string, int> seen;
    auto count = [&](const std::string& line) {
        const Json::Value properties = PropertiesOf(ParseJson(line));
        seen[properties.get("qx_task_name", properties["qx_uninstall_reason"]).asString()]++;
    };
    for (const std::string& line : collector.recordLines())
        count(line);
    const auto staged = stagedRecords();
    for (const std::string& line : staged)
        count(line);
    EXPECT_EQ(seen, expected);
    EXPECT_GT(collector.recordLines().size(), 0u);
    // Both answers were given: the test exercised putting back, not only sending.
    int failed = 0;
    for (const std::string& request : collector.requests())
        failed += request.starts_with("500");
    EXPECT_GT(failed, 0);
}
