#include "analytics/tracker/UsageTrackerWrapper.h"

#include <cstdio>
#include <string>

namespace quxin::tracking {

template <typename Call> void UsageTrackerWrapper::guarded(const char* operation, Call&& call) {
    if (!m_Impl)
        return;
    try {
        call(*m_Impl);
    } catch (...) {
        if (m_Impl->getLogger()) {
            std::string line = std::string("Failed to ") + operation + "\n";
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fflush(stdout);
        }
    }
}

void UsageTrackerWrapper::trackActivity(QxContextProperties& context) {
    guarded("trackActivity", [&](UsageTrackerImpl& impl) { impl.trackActivity(context); });
}
void UsageTrackerWrapper::trackLaunch(QxContextProperties& context) {
    guarded("trackLaunch", [&](UsageTrackerImpl& impl) { impl.trackLaunch(context); });
}
void UsageTrackerWrapper::trackLogin(const QxUserInfo& user, bool success, const std::string& reason,
                                     QxContextProperties& context) {
    guarded("trackLogin", [&](UsageTrackerImpl& impl) { impl.trackLogin(user, success, reason, context); });
}
void UsageTrackerWrapper::trackClick(const QxEventClick& event, QxContextProperties& context) {
    guarded("trackClick", [&](UsageTrackerImpl& impl) { impl.trackClick(event, context); });
}
void UsageTrackerWrapper::trackView(const QxEventView& event, QxContextProperties& context) {
    guarded("trackView", [&](UsageTrackerImpl& impl) { impl.trackView(event, context); });
}
void UsageTrackerWrapper::trackCashier(const QxEventCashier& event, QxContextProperties& context) {
    guarded("trackCashier", [&](UsageTrackerImpl& impl) { impl.trackCashier(event, context); });
}
void UsageTrackerWrapper::trackShare(const QxEventShare& event, QxContextProperties& context) {
    guarded("trackShare", [&](UsageTrackerImpl& impl) { impl.trackShare(event, context); });
}
void UsageTrackerWrapper::trackTask(const QxEventTask& event, QxContextProperties& context) {
    guarded("trackTask", [&](UsageTrackerImpl& impl) { impl.trackTask(event, context); });
}
void UsageTrackerWrapper::trackFile(const QxEventFile& event, QxContextProperties& context) {
    guarded("trackFile", [&](UsageTrackerImpl& impl) { impl.trackFile(event, context); });
}
void UsageTrackerWrapper::trackOrder(const QxEventOrder& event, QxContextProperties& context) {
    guarded("trackOrder", [&](UsageTrackerImpl& impl) { impl.trackOrder(event, context); });
}
void UsageTrackerWrapper::trackPayment(const QxEventPayment& event, QxContextProperties& context) {
    guarded("trackPayment", [&](UsageTrackerImpl& impl) { impl.trackPayment(event, context); });
}
void UsageTrackerWrapper::trackUninstall(const std::string& reason, QxContextProperties& context) {
    guarded("trackUninstall", [&](UsageTrackerImpl& impl) { impl.trackUninstall(reason, context); });
}
void UsageTrackerWrapper::trackCrash(const std::string& reason) {
    guarded("trackCrash", [&](UsageTrackerImpl& impl) { impl.trackCrash(reason); });
}
void UsageTrackerWrapper::trackUpdate(const QxEventUpdate& event, QxContextProperties& context) {
    guarded("trackUpdate", [&](UsageTrackerImpl& impl) { impl.trackUpdate(event, context); });
}
void UsageTrackerWrapper::trackAppOpenNotification(const QxAppOpenNotification* notification,
                                                   QxContextProperties& context) {
    guarded("trackAppOpenNotification",
            [&](UsageTrackerImpl& impl) { impl.trackAppOpenNotification(notification, context); });
}

void UsageTrackerWrapper::setLocale(const std::string& locale) {
    if (m_Impl)
        m_Impl->setLocale(locale);
}

std::string UsageTrackerWrapper::getDistinctId() {
    return m_Impl ? m_Impl->getDistinctId() : std::string();
}

void UsageTrackerWrapper::prepareCrashReports(const QxEventTask& task, QxContextProperties& context,
                                              const std::string& reason) {
    guarded("prepareCrashReports",
            [&](UsageTrackerImpl& impl) { impl.prepareCrashReports(task, context, reason); });
}

void UsageTrackerWrapper::persistCrashReports() noexcept {
    if (m_Impl)
        m_Impl->persistCrashReports();
}

} // namespace quxin::tracking
