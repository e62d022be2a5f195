#include "analytics/tracker/InstallerReports.h"

#include "analytics/tracker/UsageTrackerWrapper.h"
#include "app/config/InstallerConfig.h"
#include "platform/TextCodec.h"

namespace quxin::tracking {
namespace {

constexpr wchar_t kAbKey[] = L"AB";
constexpr char kCrashTask[] = "崩溃退出";
constexpr char kCrashReason[] = "崩溃";
constexpr char kProgressView[] = "安装中";

// The caller's label declared for one event type. Throws QxException for an invalid label.
QxContextProperties contextFor(QxEventType eventType, const ReportProperties& properties) {
    QxContextProperties context;
    auto label = properties.find(kAbKey);
    if (label != properties.end()) {
        std::string value = Platform::ToUtf8(label->second);
        if (QxContextProperties::isValidABValue(value))
            context.setProperty({static_cast<int>(eventType)}, value);
    }
    return context;
}

QxEventTask taskEvent(const std::wstring& name, const std::wstring& reason, double elapsed) {
    QxEventTask task;
    task.name = Platform::ToUtf8(name);
    task.reason = Platform::ToUtf8(reason);
    task.elapsed = std::make_shared<float>(static_cast<float>(elapsed));
    task.result = std::make_shared<QxResult>(QxResult::Success);
    return task;
}

// A report that cannot be made is dropped: it must never disturb the installer.
template <typename Report> void dropOnFailure(Report&& report) {
    try {
        report();
    } catch (...) {
    }
}

} // namespace

InstallerReports::InstallerReports(std::shared_ptr<UsageTrackerWrapper> tracker, const std::wstring& abGroup)
    : m_Tracker(std::move(tracker)) {
    dropOnFailure([&] {
        QxContextProperties context = contextFor(QxEventType::Task, {{kAbKey, abGroup}});
        m_Tracker->prepareCrashReports(taskEvent(Platform::FromUtf8(kCrashTask), L"", 0.0), context,
                                       kCrashReason);
    });
}

void InstallerReports::Task(const std::wstring& name, const std::wstring& reason, double elapsed,
                            const ReportProperties& properties) {
    dropOnFailure([&] {
        QxContextProperties context = contextFor(QxEventType::Task, properties);
        m_Tracker->trackTask(taskEvent(name, reason, elapsed), context);
    });
}

void InstallerReports::Click(const ReportProperties& properties, const std::wstring& name) {
    dropOnFailure([&] {
        QxContextProperties context = contextFor(QxEventType::Click, properties);
        QxEventClick click;
        click.name = Platform::ToUtf8(name);
        click.clickType = QxClickType::Button;
        m_Tracker->trackClick(click, context);
    });
}

void InstallerReports::View(const ReportProperties& properties) {
    dropOnFailure([&] {
        QxContextProperties context = contextFor(QxEventType::View, properties);
        QxEventView view;
        view.name = kProgressView;
        m_Tracker->trackView(view, context);
    });
}

void InstallerReports::Crash() {
    m_Tracker->persistCrashReports();
}

TrackerConfig InstallerTrackerConfig(const InstallerConfig& config) {
    TrackerConfig tracker;
    tracker.appName = Platform::ToUtf8(config.m_ProductKey + config.m_DlAppNameSuffix);
    tracker.appVersion = Platform::ToUtf8(config.m_AppVersion);
    tracker.appStore = Platform::ToUtf8(config.m_ExeName);
    tracker.dlAppId = Platform::ToUtf8(config.m_ProductKey);
    tracker.dlAppVersion = Platform::ToUtf8(config.m_DlAppVersion);
    tracker.edition = TrackerConfig::kEditionChina;
    tracker.serverUrl = Platform::ToUtf8(config.m_AnalyticsUrl);
    return tracker;
}

void StartInstallerTracker(const InstallerConfig& config) {
    // Released before the next one starts: the SDK exists once per process and belongs to one tracker.
    SetReportSink(nullptr);
    auto tracker = InstallerTrackerConfig(config).createTracker();
    SetReportSink(std::make_shared<InstallerReports>(std::move(tracker), config.m_AbGroup));
}

void ReleaseInstallerTracker() {
    SetReportSink(nullptr);
}

} // namespace quxin::tracking
