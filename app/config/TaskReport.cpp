#include "app/config/TaskReport.h"

#include <mutex>

namespace {

std::mutex g_Lock;
TaskReporter g_Reporter;

} // namespace

void SetTaskReporter(TaskReporter reporter) {
    std::lock_guard lock(g_Lock);
    g_Reporter = std::move(reporter);
}

void ReportTask(const std::wstring& name, const std::wstring& detail, double elapsed,
                const TaskProperties& properties) {
    TaskReporter reporter;
    {
        std::lock_guard lock(g_Lock);
        reporter = g_Reporter;
    }
    if (reporter)
        reporter(name, detail, elapsed, properties);
}
