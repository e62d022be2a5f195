#pragma once

#include "analytics/tracker/TrackerConfig.h"
#include "app/config/Reporting.h"

#include <memory>

class InstallerConfig;

namespace quxin::tracking {

class UsageTrackerWrapper;

// The installer's reports as tracker events: a task, a click, the progress view and the crash, each
// with the test-group label "AB" of the caller's properties declared for its own event type.
class InstallerReports : public ReportSink {
public:
    // `abGroup` labels the crash reports, which are prepared now since a crash handler cannot build them.
    InstallerReports(std::shared_ptr<UsageTrackerWrapper> tracker, const std::wstring& abGroup);

    void Task(const std::wstring& name, const std::wstring& reason, double elapsed,
              const ReportProperties& properties) override;
    void Click(const ReportProperties& properties, const std::wstring& name) override;
    void View(const ReportProperties& properties) override;
    // Leaves the task "崩溃退出" and the crash event, with everything still queued, in the staging file
    // for the next run: nothing is sent from a crashing process.
    void Crash() override;

    UsageTrackerWrapper& tracker() { return *m_Tracker; }

private:
    std::shared_ptr<UsageTrackerWrapper> m_Tracker;
};

// The tracker's start values from the installer's settings.
TrackerConfig InstallerTrackerConfig(const InstallerConfig& config);
// Creates the tracker and puts it in the process-wide slot the four reporting functions use; a tracker
// already there is released first.
void StartInstallerTracker(const InstallerConfig& config);
// Empties the slot; the tracker makes its last delivery when the last report using it has ended.
void ReleaseInstallerTracker();

} // namespace quxin::tracking
