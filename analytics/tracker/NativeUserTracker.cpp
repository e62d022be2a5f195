#include "analytics/tracker/NativeUserTracker.h"

#include "analytics/sdk/PropertiesNode.h"
#include "analytics/sdk/Sdk.h"
#include "analytics/tracker/QxException.h"
#include "analytics/tracker/TimeValue.h"

#include <map>

namespace quxin::tracking {
namespace {

using Mode = NativeUserTracker::Mode;

const std::map<std::string, Mode>& modeTable() {
    static const std::map<std::string, Mode> table = [] {
        std::map<std::string, Mode> modes;
        auto add = [&](Mode mode, std::initializer_list<const char*> keys) {
            for (const char* key : keys)
                modes.emplace(key, mode); // a key listed twice keeps its first mode
        };
        add(Mode::SetOnce,
            {"$first_visit_time", "qx_first_visit_date", "$ios_install_source", "qx_first_paid_date"});
        add(Mode::Accumulate, {"qx_visit_count", "qx_paid_count", "qx_consumption"});
        add(Mode::Set, {"qx_label",
                        "qx_os",
                        "qx_os_version",
                        "qx_manufacturer",
                        "qx_model",
                        "qx_app_store",
                        "qx_app_platform",
                        "qx_last_app_id",
                        "qx_last_app_version",
                        "qx_carrier",
                        "qx_last_visit_date",
                        "aurora_pushid",
                        "qx_user_id",
                        "qx_user_name",
                        "qx_user_type",
                        "qx_user_nickname",
                        "qx_user_portrait",
                        "qx_user_mobilephone",
                        "qx_user_email",
                        "qx_user_weixin",
                        "qx_user_qq",
                        "qx_user_did",
                        "qx_user_created",
                        "qx_user_last_login",
                        "qx_user_last_ip",
                        "qx_user_vip_level",
                        "qx_user_vip_enddate",
                        "idfa",
                        "imei",
                        "android_id",
                        "oaid",
                        "qx_ip",
                        "qx_country_code",
                        "qx_country",
                        "qx_province",
                        "qx_city",
                        "qx_last_paid_date"});
        return modes;
    }();
    return table;
}

Mode supportedMode(const std::string& key, const char* function) {
    Mode mode = NativeUserTracker::modeOf(key);
    if (mode == Mode::Unsupported)
        QX_THROW(function, "Not supported user property [" + key + "]!");
    return mode;
}

std::string numberCannotAppend(const std::string& key) {
    return "user property [" + key + "] is number value, it cannot be append to list!";
}

} // namespace

NativeUserTracker::Mode NativeUserTracker::modeOf(const std::string& key) {
    auto found = modeTable().find(key);
    return found == modeTable().end() ? Mode::Unsupported : found->second;
}

void NativeUserTracker::ProfileUserPropertyString(const std::string& key, const std::string& value) {
    using qx_analytics::Sdk;
    switch (supportedMode(key, "ProfileUserPropertyString")) {
    case Mode::SetOnce:
        Sdk::ProfileSetOnce(key, value);
        break;
    case Mode::Accumulate:
        QX_THROW("ProfileUserPropertyString",
                 "user property [" + key + "] is string type value, it cannot be accumulated!");
    case Mode::Set:
        Sdk::ProfileSet(key, value);
        break;
    case Mode::Append:
    case Mode::Unsupported:
        Sdk::ProfileAppend(key, value);
        break;
    }
}

void NativeUserTracker::ProfileUserPropertyNumber(const std::string& key, int value) {
    using qx_analytics::Sdk;
    switch (supportedMode(key, "ProfileUserPropertyNumber")) {
    case Mode::SetOnce:
        Sdk::ProfileSetOnce(key, int64_t{value});
        break;
    case Mode::Accumulate:
        Sdk::ProfileIncrement(key, int64_t{value});
        break;
    case Mode::Set:
        Sdk::ProfileSet(key, int64_t{value});
        break;
    case Mode::Append:
    case Mode::Unsupported:
        QX_THROW("ProfileUserPropertyNumber", numberCannotAppend(key));
    }
}

void NativeUserTracker::ProfileUserPropertyNumber(const std::string& key, double value) {
    using qx_analytics::Sdk;
    switch (supportedMode(key, "ProfileUserPropertyNumber")) {
    case Mode::SetOnce:
        Sdk::ProfileSetOnce(key, value);
        break;
    case Mode::Accumulate: {
        qx_analytics::utils::PropertiesNode node;
        node.setNumber(key, value);
        Sdk::ProfileIncrement(node);
        break;
    }
    case Mode::Set:
        Sdk::ProfileSet(key, value);
        break;
    case Mode::Append:
    case Mode::Unsupported:
        QX_THROW("ProfileUserPropertyNumber", numberCannotAppend(key));
    }
}

void NativeUserTracker::ProfileUserPropertyDateTime(const std::string& key, int64_t value) {
    using qx_analytics::Sdk;
    Mode mode = supportedMode(key, "ProfileUserPropertyDateTime");
    if (mode == Mode::Accumulate)
        QX_THROW("ProfileUserPropertyDateTime",
                 "user property [" + key + "] is date-time value, it cannot be accumulated!");
    if (mode == Mode::Append)
        QX_THROW("ProfileUserPropertyDateTime",
                 "user property [" + key + "] is date-time value, it cannot be append to list!");
    SplitTime time = splitTimeValue(value);
    qx_analytics::utils::PropertiesNode node;
    node.setDateTime(key, time.seconds, time.milliseconds);
    if (mode == Mode::SetOnce)
        Sdk::ProfileSetOnce(node);
    else
        Sdk::ProfileSet(node);
}

} // namespace quxin::tracking
