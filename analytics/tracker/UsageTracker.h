#pragma once

#include "analytics/tracker/QxContextProperties.h"
#include "analytics/tracker/QxEvents.h"

#include <string>

namespace quxin::tracking {

class TrackLogger;

// The analytics facade: one operation per business event. The order of the operations is part of the
// interface; implementations keep it.
class UsageTracker {
public:
    virtual ~UsageTracker() = default;
    virtual void trackActivity(QxContextProperties& context) = 0;
    virtual void trackLaunch(QxContextProperties& context) = 0;
    virtual void trackLogin(const QxUserInfo& user, bool success, const std::string& reason,
                            QxContextProperties& context) = 0;
    virtual void trackClick(const QxEventClick& event, QxContextProperties& context) = 0;
    virtual void trackView(const QxEventView& event, QxContextProperties& context) = 0;
    virtual void trackCashier(const QxEventCashier& event, QxContextProperties& context) = 0;
    virtual void trackShare(const QxEventShare& event, QxContextProperties& context) = 0;
    virtual void trackTask(const QxEventTask& event, QxContextProperties& context) = 0;
    virtual void trackFile(const QxEventFile& event, QxContextProperties& context) = 0;
    virtual void trackOrder(const QxEventOrder& event, QxContextProperties& context) = 0;
    virtual void trackPayment(const QxEventPayment& event, QxContextProperties& context) = 0;
    virtual void trackUninstall(const std::string& reason, QxContextProperties& context) = 0;
    virtual void trackCrash(const std::string& reason) = 0;
    virtual void trackUpdate(const QxEventUpdate& event, QxContextProperties& context) = 0;
    virtual void trackAppOpenNotification(const QxAppOpenNotification* notification,
                                          QxContextProperties& context) = 0;
    virtual void setLocale(const std::string& locale) = 0;
    virtual std::string getDistinctId() = 0;
    virtual TrackLogger* getLogger() = 0;
};

} // namespace quxin::tracking
