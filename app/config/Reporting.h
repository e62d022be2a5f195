#pragma once

#include <map>
#include <memory>
#include <string>

// The installer's four analytics reports, callable from every layer above the settings. They do
// nothing while analytics is switched off ("IsEnableAppAnalytics") or no tracker exists; the usage
// tracker installs itself as the sink when it is created and removes itself when it is released.
using ReportProperties = std::map<std::wstring, std::wstring>;

class ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual void Task(const std::wstring& name, const std::wstring& reason, double elapsed,
                      const ReportProperties& properties) = 0;
    virtual void Click(const ReportProperties& properties, const std::wstring& name) = 0;
    virtual void View(const ReportProperties& properties) = 0;
    // The crash reports: the task "崩溃退出" with the installer's label, then the crash event. Called from
    // a crash handler, possibly inside a signal handler: must neither wait nor allocate.
    virtual void Crash() = 0;
};

// Installs (or, with null, removes) the sink: the process-wide tracker slot.
void SetReportSink(std::shared_ptr<ReportSink> sink);
bool HasReportSink();

void ReportTask(const std::wstring& name, const std::wstring& reason, double elapsed,
                const ReportProperties& properties);
void ReportClick(const ReportProperties& properties, const std::wstring& name);
void ReportView(const ReportProperties& properties);
// The crash reports. Safe to call from a crash handler: gives up rather than wait for another thread,
// and allocates nothing.
void ReportCrash();
