#pragma once

#include "analytics/tracker/UsageTracker.h"
#include "analytics/tracker/UsageTrackerImpl.h"

#include <memory>

namespace quxin::tracking {

// The tracker the installer holds: forwards to the implementation and swallows everything it throws,
// so that a reporting failure never reaches the installer.
class UsageTrackerWrapper : public UsageTracker {
public:
    explicit UsageTrackerWrapper(std::unique_ptr<UsageTrackerImpl> impl) : m_Impl(std::move(impl)) {}

    void trackActivity(QxContextProperties& context) override;
    void trackLaunch(QxContextProperties& context) override;
    void trackLogin(const QxUserInfo& user, bool success, const std::string& reason,
                    QxContextProperties& context) override;
    void trackClick(const QxEventClick& event, QxContextProperties& context) override;
    void trackView(const QxEventView& event, QxContextProperties& context) override;
    void trackCashier(const QxEventCashier& event, QxContextProperties& context) override;
    void trackShare(const QxEventShare& event, QxContextProperties& context) override;
    void trackTask(const QxEventTask& event, QxContextProperties& context) override;
    void trackFile(const QxEventFile& event, QxContextProperties& context) override;
    void trackOrder(const QxEventOrder& event, QxContextProperties& context) override;
    void trackPayment(const QxEventPayment& event, QxContextProperties& context) override;
    void trackUninstall(const std::string& reason, QxContextProperties& context) override;
    void trackCrash(const std::string& reason) override;
    void trackUpdate(const QxEventUpdate& event, QxContextProperties& context) override;
    void trackAppOpenNotification(const QxAppOpenNotification* notification,
                                  QxContextProperties& context) override;
    void setLocale(const std::string& locale) override;
    std::string getDistinctId() override;
    TrackLogger* getLogger() override { return nullptr; }

    // The crash reports: prepared while nothing is wrong, written by a crash handler (see
    // UsageTrackerImpl).
    void prepareCrashReports(const QxEventTask& task, QxContextProperties& context,
                             const std::string& reason);
    void persistCrashReports() noexcept;

private:
    template <typename Call> void guarded(const char* operation, Call&& call);

    std::unique_ptr<UsageTrackerImpl> m_Impl;
};

} // namespace quxin::tracking
