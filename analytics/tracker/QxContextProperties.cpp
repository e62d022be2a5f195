#include "analytics/tracker/QxContextProperties.h"

#include "analytics/sdk/PropertiesNode.h"
#include "analytics/sdk/ValueNode.h"
#include "analytics/tracker/QxException.h"
#include "analytics/tracker/TimeValue.h"

namespace quxin::tracking {
namespace {

bool isCapital(char c) {
    return c >= 'A' && c <= 'Z';
}

bool isCapitalOrDigit(char c) {
    return isCapital(c) || (c >= '0' && c <= '9');
}

std::string overflow(int eventType) {
    return "QxEvent[" + std::to_string(eventType) + "] overflow!";
}

} // namespace

void QxContextProperties::setProperty(const std::vector<int>& eventTypes, const std::string& value) {
    declare(eventTypes, kAbKey, Kind::String, value);
}

void QxContextProperties::declare(const std::vector<int>& eventTypes, const std::string& key, Kind kind,
                                  Value value) {
    if (m_DefinedKeys.count(key))
        QX_THROW("setProperty", "Property[" + key + "] already exist!");
    m_DefinedKeys.insert(key);
    auto shared = std::make_shared<const Value>(std::move(value));
    for (int eventType : eventTypes) {
        if (eventType < 0 || eventType >= kEventTypeCount)
            QX_THROW("setProperty", overflow(eventType));
        m_Lists[static_cast<size_t>(eventType)].push_back({key, kind, shared});
    }
}

const std::vector<QxContextProperties::Entry>& QxContextProperties::getEventProperties(int eventType) const {
    if (eventType < 0 || eventType >= kEventTypeCount)
        QX_THROW("getEventProperties", overflow(eventType));
    return m_Lists[static_cast<size_t>(eventType)];
}

void QxContextProperties::mergeInto(int eventType, qx_analytics::utils::PropertiesNode& node) const {
    for (const Entry& entry : getEventProperties(eventType)) {
        const Value& value = *entry.value;
        switch (entry.kind) {
        case Kind::Bool:
            node.setBool(entry.key, std::get<bool>(value));
            break;
        case Kind::Number:
            node.setNumber(entry.key, std::get<double>(value));
            break;
        case Kind::List:
            node.setList(entry.key, std::get<std::vector<std::string>>(value));
            break;
        case Kind::String:
            node.setString(entry.key, std::get<std::string>(value));
            break;
        case Kind::DateTime: {
            SplitTime time = splitTimeValue(std::get<int64_t>(value));
            node.setValue(entry.key, qx_analytics::ValueNode::String(
                                         qx_analytics::LocalTimeText({time.seconds, time.milliseconds})));
            break;
        }
        }
    }
}

bool QxContextProperties::isValidABValue(const std::string& value) {
    if (value.empty())
        return false;
    if (value.size() > 3)
        QX_THROW("isValidABValue", "value's length is great than 3.");
    if (!isCapital(value[0]))
        QX_THROW("isValidABValue", "First char is not in A to Z");
    if (value.size() >= 2 && !isCapitalOrDigit(value[1]))
        QX_THROW("isValidABValue", "second char is not in A to Z and 0 to 9");
    if (value.size() == 3 && !isCapitalOrDigit(value[2]))
        QX_THROW("isValidABValue", "third char is not in A to Z and 0 to 9");
    return true;
}

} // namespace quxin::tracking
