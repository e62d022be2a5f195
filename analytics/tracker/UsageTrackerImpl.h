#pragma once

#include "analytics/tracker/CrashRecords.h"
#include "analytics/tracker/Delivery.h"
#include "analytics/tracker/NativeTrackLogger.h"
#include "analytics/tracker/TrackerConfig.h"
#include "analytics/tracker/TrackerState.h"
#include "analytics/tracker/UsageTracker.h"

#include <memory>

namespace qx_analytics::utils {
class PropertiesNode;
}

namespace quxin::tracking {

// Validates each event, turns it into properties with the caller's context properties, records it
// through the SDK under its event name and asks for its delivery. Validation failures throw
// QxException; the wrapper catches them.
class UsageTrackerImpl : public UsageTracker {
public:
    explicit UsageTrackerImpl(const TrackerConfig& config);
    // Saves the identity, makes the last delivery and ends the SDK (its queue goes to the staging file).
    ~UsageTrackerImpl() override;

    // Resolves the files, loads the identity, starts the SDK and registers the presets. Throws
    // QxException; a tracker whose initialisation failed records nothing.
    void init();

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
    std::string getDistinctId() override { return m_State.primaryDistinctId; }
    TrackLogger* getLogger() override { return m_Logger.get(); }

    // Builds the records a crash will leave: the task, then the crash event. Call while nothing is
    // wrong; persistCrashReports writes them, with the queued records, to the staging file without
    // allocating or waiting, so that a crash handler may call it.
    void prepareCrashReports(const QxEventTask& task, QxContextProperties& context,
                             const std::string& reason);
    void persistCrashReports() noexcept;

    const TrackerState& state() const { return m_State; }
    const std::string& serverUrl() const { return m_ServerUrl; }

private:
    qx_analytics::utils::PropertiesNode taskProperties(const QxEventTask& event,
                                                       QxContextProperties& context);
    qx_analytics::utils::PropertiesNode crashProperties(const std::string& reason);
    // Queues an event that waits for a later delivery: it is counted, not posted at once.
    void trackDeferred(const char* name, QxEventType eventType,
                       qx_analytics::utils::PropertiesNode& properties, QxContextProperties& context);
    void registerPresets();
    qx_analytics::utils::PropertiesNode localeProperties() const;

    TrackerConfig m_Config;
    std::string m_ServerUrl;
    TrackerState m_State;
    std::unique_ptr<NativeTrackLogger> m_Logger;
    bool m_SdkStarted{false};
    Delivery m_Delivery;
    std::unique_ptr<CrashRecords> m_CrashRecords;
};

} // namespace quxin::tracking
