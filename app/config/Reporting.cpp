#include "app/config/Reporting.h"

#include "app/config/InstallerConfig.h"

#include <mutex>
#include <utility>

namespace {

std::mutex g_Lock;
std::shared_ptr<ReportSink> g_Sink;

// The sink when reporting is on, held for the length of one report.
std::shared_ptr<ReportSink> activeSink() {
    if (!InstallerConfig::Instance().m_IsEnableAppAnalytics)
        return nullptr;
    std::lock_guard lock(g_Lock);
    return g_Sink;
}

} // namespace

void SetReportSink(std::shared_ptr<ReportSink> sink) {
    std::shared_ptr<ReportSink> previous;
    std::lock_guard lock(g_Lock);
    previous = std::exchange(g_Sink, std::move(sink));
}

bool HasReportSink() {
    std::lock_guard lock(g_Lock);
    return g_Sink != nullptr;
}

void ReportTask(const std::wstring& name, const std::wstring& reason, double elapsed,
                const ReportProperties& properties) {
    if (auto sink = activeSink())
        sink->Task(name, reason, elapsed, properties);
}

void ReportClick(const ReportProperties& properties, const std::wstring& name) {
    if (auto sink = activeSink())
        sink->Click(properties, name);
}

void ReportView(const ReportProperties& properties) {
    if (auto sink = activeSink())
        sink->View(properties);
}

void ReportCrash() {
    if (!InstallerConfig::Instance().m_IsEnableAppAnalytics)
        return;
    // The crashed thread may hold the lock: give up rather than hang the dying process.
    std::unique_lock lock(g_Lock, std::try_to_lock);
    if (!lock.owns_lock() || !g_Sink)
        return;
    g_Sink->Crash();
}
