#include "analytics/tracker/UsageTrackerImpl.h"

#include "analytics/sdk/PropertiesNode.h"
#include "analytics/sdk/Sdk.h"
#include "analytics/tracker/EnumText.h"
#include "analytics/tracker/IdentityFile.h"
#include "analytics/tracker/NativeUserTracker.h"
#include "analytics/tracker/QxException.h"
#include "analytics/tracker/SystemFacts.h"
#include "app/config/InstallerConfig.h"
#include "platform/KnownFolders.h"
#include "platform/TextCodec.h"

#include <chrono>
#include <cstdio>

namespace quxin::tracking {
namespace {

using qx_analytics::Sdk;
using qx_analytics::utils::PropertiesNode;

constexpr char kInstallSource[] = "android_id=123##imei=1234##mac=123";
constexpr char kPlatform[] = "Linux";

int64_t nowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int type(QxEventType eventType) {
    return static_cast<int>(eventType);
}

// Adds the context's properties for the event's type, then queues the event.
void trackInContext(const char* name, QxEventType eventType, PropertiesNode& properties,
                    QxContextProperties& context) {
    context.mergeInto(type(eventType), properties);
    Sdk::Track(name, properties);
}

void setIfPresent(PropertiesNode& node, const char* key, const std::string& value) {
    if (!value.empty())
        node.setString(key, value);
}

template <typename Number>
void setIfPresent(PropertiesNode& node, const char* key, const QxOptional<Number>& value) {
    if (!value)
        return;
    if constexpr (std::is_floating_point_v<Number>)
        node.setNumber(key, static_cast<double>(*value));
    else
        node.setInt(key, *value);
}

// Results 0 to 2 are sent; "Unknown" is left out; other numbers are refused.
void setResult(PropertiesNode& node, const char* key, const QxOptional<QxResult>& result) {
    if (!result)
        return;
    std::string text = toString(*result);
    if (*result != QxResult::Unknown)
        node.setString(key, text);
}

std::string amountText(float amount) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(amount));
    return text;
}

} // namespace

UsageTrackerImpl::UsageTrackerImpl(const TrackerConfig& config) : m_Config(config) {}

UsageTrackerImpl::~UsageTrackerImpl() {
    saveIdentity(m_State);
    m_Delivery.shutdown();
    if (m_SdkStarted)
        Sdk::Shutdown();
    m_CrashRecords.reset();
    if (m_Logger)
        m_Logger->close();
}

void UsageTrackerImpl::init() {
    if (m_Config.appName.empty())
        QX_THROW("init", "appName is empty");
    if (m_Config.appVersion.empty())
        QX_THROW("init", "appVersion is empty");
    if (m_Config.appStore.empty())
        QX_THROW("init", "appStore is empty");

    m_ServerUrl = m_Config.serverUrl.empty() ? Platform::ToUtf8(kDefaultAnalyticsUrl) : m_Config.serverUrl;
    const std::wstring settingsFolder =
        m_Config.settingsFolder.empty() ? Platform::ExecutableDir() : m_Config.settingsFolder;
    resolveFiles(m_State, settingsFolder, m_Config.appName);
    loadIdentity(m_State);
    reconcileWithUrl(m_State, m_ServerUrl);

    m_State.logPath =
        m_Config.logPath.empty() ? m_State.dataFolder + m_Config.appName + "_QXSLog.txt" : m_Config.logPath;
    auto logger = std::make_unique<NativeTrackLogger>();
    logger->open(m_State.logPath);
    m_Logger = std::move(logger);

    // Records the collector could not take survive in the staging file until the next run.
    const bool loggedIn = m_State.loggedIn;
    const bool sdkExisted = Sdk::Exists();
    if (!Sdk::Init(m_State.stagingFile, m_ServerUrl, loggedIn ? m_State.userId : m_State.distinctId,
                   loggedIn))
        QX_THROW("init", "qx_analytics::Sdk::Init is failed");
    m_SdkStarted = !sdkExisted; // ended with this tracker only when it began with it
    registerPresets();
    writeAppInfo(m_State, m_Config.appStore, m_Config.appName, m_Config.appVersion);
}

void UsageTrackerImpl::registerPresets() {
    PropertiesNode presets;
    presets.setString("qx_app_id", m_Config.appName);
    presets.setString("$app_version", m_Config.appVersion);
    presets.setString("$app_id", m_Config.appName);
    presets.setString("qx_app_store", m_Config.appStore);
    presets.setString("qx_edition", editionText(m_Config.edition));
    setIfPresent(presets, "qx_dlapp_id", m_Config.dlAppId);
    setIfPresent(presets, "qx_dlapp_version", m_Config.dlAppVersion);
    presets.setString("qx_app_platform", kPlatform);
    presets.setString("qx_track_type", "Client");
    presets.setString("qx_sdk_version", "3.3.8");
    presets.setString("qx_sdk", "LinuxCPP");
    OsName os = operatingSystemName();
    presets.setString("$os", os.name);
    presets.setString("$os_version", os.version);
    presets.merge(localeProperties());
    presets.setInt("$screen_height", m_Config.screenHeight);
    presets.setInt("$screen_width", m_Config.screenWidth);
    if (!m_State.userId.empty())
        presets.setString("qx_user_id", m_State.userId);
    Sdk::RegisterSuperProperties(presets);
}

PropertiesNode UsageTrackerImpl::localeProperties() const {
    LocaleTriple triple;
    const std::string& stored = m_State.storedLocale;
    if (size_t underscore = stored.find('_'); underscore != std::string::npos && underscore > 0)
        triple = {stored.substr(0, underscore), stored.substr(underscore + 1), stored};
    else
        triple = userDefaultLocale();
    PropertiesNode node;
    node.setString("qx_l10n_locale", triple.locale);
    node.setString("qx_l10n_language", triple.language);
    node.setString("qx_l10n_country", triple.country);
    return node;
}

void UsageTrackerImpl::setLocale(const std::string& locale) {
    m_State.storedLocale = locale;
    Sdk::RegisterSuperProperties(localeProperties());
}

void UsageTrackerImpl::trackActivity(QxContextProperties& context) {
    PropertiesNode node;
    node.setString("$ios_install_source", "");
    PropertiesNode properties;
    setIfPresent(properties, "qx_app_store", m_Config.appStore);
    setIfPresent(properties, "qx_app_id", m_Config.appName);
    setIfPresent(properties, "$app_id", m_Config.appName);
    setIfPresent(properties, "$app_version", m_Config.appVersion);
    properties.setString("$ios_install_source", kInstallSource);
    setIfPresent(properties, "$user_agent", userAgent());
    properties.setBool("$is_first_time", true);
    OsName os = operatingSystemName();
    properties.setString("$os", os.name);
    properties.setString("$os_version", os.version);
    context.mergeInto(type(QxEventType::Activity), properties);
    node.merge(properties);
    Sdk::Track("QxEventActivity", node);

    const int64_t now = nowMilliseconds();
    NativeUserTracker::ProfileUserPropertyDateTime("$first_visit_time", now);
    NativeUserTracker::ProfileUserPropertyDateTime("qx_first_visit_date", now);
    NativeUserTracker::ProfileUserPropertyDateTime("qx_last_visit_date", now);
    NativeUserTracker::ProfileUserPropertyString("qx_os", os.name);
    NativeUserTracker::ProfileUserPropertyString("qx_os_version", os.version);
    NativeUserTracker::ProfileUserPropertyString("qx_app_store", m_Config.appStore);
    NativeUserTracker::ProfileUserPropertyString("qx_app_platform", kPlatform);
    NativeUserTracker::ProfileUserPropertyString("qx_last_app_id", m_Config.appName);
    NativeUserTracker::ProfileUserPropertyString("qx_last_app_version", m_Config.appVersion);
    NativeUserTracker::ProfileUserPropertyString("$ios_install_source", kInstallSource);
    m_Delivery.addPending(9);
    m_Delivery.request(true);
}

void UsageTrackerImpl::trackLaunch(QxContextProperties& context) {
    PropertiesNode properties;
    trackInContext("QxEventLaunch", QxEventType::PaLaunchPal, properties, context);
    if (!m_State.userId.empty()) {
        const int64_t now = nowMilliseconds();
        NativeUserTracker::ProfileUserPropertyDateTime("$first_visit_time", now);
        NativeUserTracker::ProfileUserPropertyDateTime("qx_first_visit_date", now);
        NativeUserTracker::ProfileUserPropertyDateTime("qx_last_visit_date", now);
        m_Delivery.addPending(4);
    }
    m_Delivery.request(true);
}

void UsageTrackerImpl::trackLogin(const QxUserInfo& user, bool success, const std::string& reason,
                                  QxContextProperties& context) {
    PropertiesNode properties;
    if (!user.loginId.empty()) {
        properties.setString("qx_user_id", user.loginId);
        properties.setString("qx_login_id", user.loginId);
    }
    properties.setString("qx_type", userType(user.userType));
    properties.setString("qx_result", success ? "Success" : "Fail");
    setIfPresent(properties, "qx_reason", reason);
    if (!user.loginId.empty())
        properties.setBool("$is_first_time", true);
    trackInContext("QxEventLogin", QxEventType::Login, properties, context);

    if (!user.loginId.empty()) {
        m_State.vipLevel = user.vipLevel;
        if (!m_State.loggedIn || m_State.userId.empty()) {
            Sdk::TrackSignup(user.loginId);
            m_State.loggedIn = true;
            m_State.userId = user.loginId;
            m_State.distinctId = user.loginId;
            PropertiesNode userId;
            userId.setString("qx_user_id", user.loginId);
            Sdk::RegisterSuperProperties(userId);
        }
        saveIdentity(m_State);
    }
    m_Delivery.request(true);
}

void UsageTrackerImpl::trackClick(const QxEventClick& event, QxContextProperties& context) {
    if (event.name.empty())
        QX_THROW("trackClick", "qxEventClick.name is empty");
    std::string clickType = toString(event.clickType);
    PropertiesNode properties;
    properties.setString("qx_name", event.name);
    properties.setString("qx_click_type", clickType);
    setIfPresent(properties, "qx_aname", event.aname);
    setIfPresent(properties, "qx_title", event.title);
    setIfPresent(properties, "qx_position", event.position);
    setIfPresent(properties, "qx_module", event.module);
    setIfPresent(properties, "qx_tab_name", event.tabName);
    setIfPresent(properties, "qx_tab_index", event.tabIndex);
    setIfPresent(properties, "qx_banner_name", event.bannerName);
    setIfPresent(properties, "qx_banner_index", event.bannerIndex);
    properties.setBool("$is_first_time", true);
    trackDeferred("QxEventClick", QxEventType::Click, properties, context);
}

void UsageTrackerImpl::trackView(const QxEventView& event, QxContextProperties& context) {
    if (event.name.empty())
        QX_THROW("trackView", "qxEventView.name is empty");
    PropertiesNode properties;
    properties.setString("qx_name", event.name);
    setIfPresent(properties, "qx_aname", event.aname);
    setIfPresent(properties, "qx_title", event.title);
    setIfPresent(properties, "qx_position", event.position);
    properties.setBool("$is_first_time", true);
    trackDeferred("QxEventView", QxEventType::View, properties, context);
}

void UsageTrackerImpl::trackCashier(const QxEventCashier& event, QxContextProperties& context) {
    if (event.cashierName.empty())
        QX_THROW("trackCashier", "qxEventCashier.qx_cashier_name is empty");
    PropertiesNode properties;
    properties.setString("qx_cashier_name", event.cashierName);
    setIfPresent(properties, "qx_cashier_title", event.cashierTitle);
    setIfPresent(properties, "qx_subitem", event.subitem);
    properties.setBool("$is_first_time", true);
    trackDeferred("QxEventCashier", QxEventType::Cashier, properties, context);
}

void UsageTrackerImpl::trackShare(const QxEventShare& event, QxContextProperties& context) {
    PropertiesNode properties;
    setIfPresent(properties, "qx_aname", event.aname);
    setIfPresent(properties, "qx_channel", event.channel);
    setIfPresent(properties, "qx_position", event.position);
    setIfPresent(properties, "qx_shared_name", event.sharedName);
    if (event.result)
        properties.setString("qx_result", toString(*event.result));
    properties.setBool("$is_first_time", true);
    trackDeferred("QxEventShare", QxEventType::Share, properties, context);
}

PropertiesNode UsageTrackerImpl::taskProperties(const QxEventTask& event, QxContextProperties& context) {
    if (event.name.empty())
        QX_THROW("trackTask", "qxEventTask.name is empty");
    PropertiesNode properties;
    properties.setString("qx_task_name", event.name);
    setIfPresent(properties, "qx_task_elapsed", event.elapsed);
    setResult(properties, "qx_task_result", event.result);
    setIfPresent(properties, "qx_aname", event.aname);
    setIfPresent(properties, "qx_reason", event.reason);
    properties.setBool("$is_first_time", true);
    context.mergeInto(type(QxEventType::Task), properties);
    return properties;
}

void UsageTrackerImpl::trackTask(const QxEventTask& event, QxContextProperties& context) {
    Sdk::Track("QxEventTask", taskProperties(event, context));
    m_Delivery.request(false);
}

void UsageTrackerImpl::trackFile(const QxEventFile& event, QxContextProperties& context) {
    if (event.aname.empty())
        QX_THROW("trackFile", "qxEventFile.aname is empty");
    PropertiesNode properties;
    properties.setString("qx_aname", event.aname);
    if (event.io)
        properties.setString("qx_io", toString(*event.io));
    setResult(properties, "qx_result", event.result);
    setIfPresent(properties, "qx_name", event.name);
    setIfPresent(properties, "qx_ext", event.ext);
    if (event.size && *event.size > 0)
        properties.setNumber("qx_size", static_cast<double>(*event.size));
    setIfPresent(properties, "qx_duration", event.duration);
    setIfPresent(properties, "qx_fps", event.fps);
    setIfPresent(properties, "qx_bps", event.bps);
    setIfPresent(properties, "qx_width", event.width);
    setIfPresent(properties, "qx_height", event.height);
    setIfPresent(properties, "qx_depth", event.depth);
    properties.setBool("$is_first_time", true);
    trackDeferred("QxEventFile", QxEventType::File, properties, context);
}

void UsageTrackerImpl::trackOrder(const QxEventOrder& event, QxContextProperties& context) {
    if (event.suitId.empty())
        QX_THROW("trackOrder", "qxEventOrder.qxSuitId is empty");
    if (!event.currency)
        QX_THROW("trackOrder", "qxEventOrder.qxCurrency is nullptr");
    if (!(event.originalAmount > 0))
        QX_THROW("trackOrder", "qxEventOrder.originalAmount is less than zero");
    if (!(event.paidAmount > 0))
        QX_THROW("trackOrder", "qxEventOrder.paidAmount is less than zero");
    PropertiesNode properties;
    properties.setString("qx_suit_id", event.suitId);
    properties.setString("qx_currency", toString(*event.currency));
    properties.setNumber("qx_paid_amount", event.paidAmount);
    properties.setNumber("qx_original_amount", event.originalAmount);
    properties.setBool("$is_first_time", true);
    setIfPresent(properties, "qx_order_id", event.orderId);
    setIfPresent(properties, "qx_subitem", event.subitem);
    setIfPresent(properties, "qx_sku", event.sku);
    setIfPresent(properties, "qx_campaign_code", event.campaignCode);
    setIfPresent(properties, "qx_voucher_id", event.voucherId);
    if (event.curOriginalAmount > 0)
        properties.setNumber("qx_cur_original_amount", event.curOriginalAmount);
    if (event.curPaidAmount > 0)
        properties.setNumber("qx_cur_paid_amount", event.curPaidAmount);
    setIfPresent(properties, "qx_cashier_name", event.cashierName);
    setIfPresent(properties, "qx_cashier_title", event.cashierTitle);
    trackDeferred("QxEventOrder", QxEventType::Order, properties, context);
}

void UsageTrackerImpl::trackPayment(const QxEventPayment& event, QxContextProperties& context) {
    if (event.orderId.empty())
        QX_THROW("trackPayment", "qxEventPayment.qxOrderId is empty");
    if (event.paidAmount < 0)
        QX_THROW("trackPayment", "paidAmount = " + amountText(event.paidAmount) + " is invalid");
    if (event.originalAmount < 0)
        QX_THROW("trackPayment", "originalAmount = " + amountText(event.originalAmount) + " is invalid");
    if (!event.result || (*event.result != QxResult::Success && *event.result != QxResult::Fail))
        QX_THROW("trackPayment", "qxEventPayment.result is invalid");
    if (!event.currency)
        QX_THROW("trackPayment", "qxEventPayment.qxCurrency is nullptr");
    if (!event.paidPlatform)
        QX_THROW("trackPayment", "qxEventPayment.qxPaidPlatform is nullptr");
    PropertiesNode properties;
    properties.setString("qx_order_id", event.orderId);
    properties.setString("qx_paid_platform", toString(*event.paidPlatform));
    properties.setString("qx_currency", toString(*event.currency));
    properties.setNumber("qx_paid_amount", event.paidAmount);
    properties.setNumber("qx_original_amount", event.originalAmount);
    properties.setString("qx_result", toString(*event.result));
    properties.setBool("$is_first_time", true);
    setIfPresent(properties, "qx_suit_id", event.suitId);
    if (event.iapType)
        properties.setString("qx_iap_type", toString(*event.iapType));
    setIfPresent(properties, "qx_subitem", event.subitem);
    setIfPresent(properties, "qx_sku", event.sku);
    setIfPresent(properties, "qx_voucher_id", event.voucherId);
    setIfPresent(properties, "qx_used_voucher_id", event.usedVoucherId);
    setIfPresent(properties, "qx_campaign_code", event.campaignCode);
    if (event.curOriginalAmount > 0)
        properties.setNumber("qx_cur_original_amount", event.curOriginalAmount);
    if (event.curPaidAmount > 0)
        properties.setNumber("qx_cur_paid_amount", event.curPaidAmount);
    setIfPresent(properties, "qx_cashier_name", event.cashierName);
    setIfPresent(properties, "qx_cashier_title", event.cashierTitle);
    trackInContext("QxEventPayment", QxEventType::Payment, properties, context);

    const int64_t now = nowMilliseconds();
    NativeUserTracker::ProfileUserPropertyNumber("qx_paid_count", 1);
    NativeUserTracker::ProfileUserPropertyNumber("qx_consumption", static_cast<double>(event.paidAmount));
    NativeUserTracker::ProfileUserPropertyDateTime("qx_first_paid_date", now);
    NativeUserTracker::ProfileUserPropertyDateTime("qx_last_paid_date", now);
    m_Delivery.addPending(4);
    if (*event.result == QxResult::Success) {
        m_State.vipLevel = 1;
        saveIdentity(m_State);
    }
    m_Delivery.request(true);
}

void UsageTrackerImpl::trackUninstall(const std::string& reason, QxContextProperties& context) {
    PropertiesNode properties;
    setIfPresent(properties, "qx_uninstall_reason", reason);
    trackInContext("QxEventUninstall", QxEventType::Uninstall, properties, context);
    m_Delivery.request(true);
}

void UsageTrackerImpl::trackDeferred(const char* name, QxEventType eventType, PropertiesNode& properties,
                                     QxContextProperties& context) {
    trackInContext(name, eventType, properties, context);
    m_Delivery.addPending(1);
    m_Delivery.request(false);
}

PropertiesNode UsageTrackerImpl::crashProperties(const std::string& reason) {
    PropertiesNode properties;
    setIfPresent(properties, "app_crashed_reason", reason);
    return properties;
}

void UsageTrackerImpl::trackCrash(const std::string& reason) {
    Sdk::Track("AppCrashed", crashProperties(reason));
    m_Delivery.request(true);
}

void UsageTrackerImpl::trackUpdate(const QxEventUpdate& event, QxContextProperties& context) {
    PropertiesNode properties;
    properties.setString("qx_update_op", toString(event.op));
    switch (event.op) {
    case QxUpdateOp::UpdateCheck:
        properties.setString("qx_update_result", event.result ? toString(*event.result) : "");
        break;
    case QxUpdateOp::DownloadEnd:
    case QxUpdateOp::UpgrateEnd:
        if (!event.result)
            QX_THROW("trackUpdate", "Unknown updateResultInfo info");
        if (!event.elapsed)
            QX_THROW("trackUpdate", "invalid elapsed info");
        properties.setString("qx_update_result", toString(*event.result));
        properties.setNumber("qx_elapsed", static_cast<double>(*event.elapsed));
        if (event.op == QxUpdateOp::UpgrateEnd)
            properties.setBool("$is_first_time", true);
        break;
    case QxUpdateOp::DownloadStart:
    case QxUpdateOp::UpgrateStart:
        break;
    }
    trackInContext("QxEventUpdate", QxEventType::Update, properties, context);
    m_Delivery.request(true);
}

void UsageTrackerImpl::trackAppOpenNotification(const QxAppOpenNotification* notification,
                                                QxContextProperties& context) {
    if (!notification)
        QX_THROW("trackAppOpenNotification", "&appOpenNotification is nullptr");
    if (notification->planId.empty())
        QX_THROW("trackAppOpenNotification", "planID is emptry");
    if (notification->planType.empty())
        QX_THROW("trackAppOpenNotification", "planType is emptry");
    if (notification->msgTitle.empty())
        QX_THROW("trackAppOpenNotification", "msgTitle is emptry");
    PropertiesNode properties;
    properties.setString("$sf_msg_title", notification->msgTitle);
    properties.setString("$sf_plan_id", notification->planId);
    properties.setString("$sf_plan_type", notification->planType);
    properties.setBool("$is_first_time", true);
    setIfPresent(properties, "$sf_msg_content", notification->msgContent);
    setIfPresent(properties, "$sf_link_url", notification->linkUrl);
    setIfPresent(properties, "$sf_audience_id", notification->audienceId);
    setIfPresent(properties, "$sf_plan_strategy_id", notification->planStrategyId);
    setIfPresent(properties, "$sf_strategy_unit_id", notification->strategyUnitId);
    trackInContext("AppOpenNotification", QxEventType::AppOpenNotification, properties, context);
    m_Delivery.request(false);
}

void UsageTrackerImpl::prepareCrashReports(const QxEventTask& task, QxContextProperties& context,
                                           const std::string& reason) {
    if (!Sdk::Exists())
        return;
    auto records = std::make_unique<CrashRecords>(m_State.stagingFile);
    for (const auto& record : {Sdk::TrackRecordTemplate("QxEventTask", taskProperties(task, context)),
                               Sdk::TrackRecordTemplate("AppCrashed", crashProperties(reason))})
        if (record)
            records->addTemplate(*record);
    m_CrashRecords = std::move(records);
}

void UsageTrackerImpl::persistCrashReports() noexcept {
    if (m_CrashRecords)
        m_CrashRecords->write(Sdk::Queue());
}

} // namespace quxin::tracking
