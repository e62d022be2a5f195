#include "analytics/sdk/ObjectNode.h"

#include "analytics/sdk/Validation.h"

namespace qx_analytics::utils {

void ObjectNode::setString(const std::string& key, const std::string& value) {
    if (CheckStringValue(key, value))
        setValue(key, ValueNode::String(value));
}

void ObjectNode::setString(const std::string& key, const char* value) {
    setString(key, std::string(value ? value : ""));
}

void ObjectNode::setNumber(const std::string& key, double value) {
    setValue(key, ValueNode::Number(value));
}

void ObjectNode::setInt(const std::string& key, int64_t value) {
    setValue(key, ValueNode::Int(value));
}

void ObjectNode::setBool(const std::string& key, bool value) {
    setValue(key, ValueNode::Bool(value));
}

void ObjectNode::setDateTime(const std::string& key, int64_t seconds, int milliseconds) {
    setValue(key, ValueNode::Time({seconds, milliseconds}));
}

void ObjectNode::setList(const std::string& key, std::vector<std::string> value) {
    setValue(key, ValueNode::List(std::move(value)));
}

void ObjectNode::setObject(const std::string& key, const ObjectNode& value) {
    setValue(key, ValueNode::Object(value));
}

void ObjectNode::setValue(const std::string& key, ValueNode value) {
    m_Members.insert_or_assign(key, std::move(value));
}

void ObjectNode::merge(const ObjectNode& other) {
    for (const auto& [key, value] : other.m_Members)
        m_Members.insert_or_assign(key, value);
}

const ValueNode* ObjectNode::find(const std::string& key) const {
    auto found = m_Members.find(key);
    return found == m_Members.end() ? nullptr : &found->second;
}

std::string ObjectNode::toJson() const {
    std::string out;
    appendJson(out);
    return out;
}

void ObjectNode::appendJson(std::string& out) const {
    out += '{';
    bool first = true;
    for (const auto& [key, value] : m_Members) {
        if (!first)
            out += ',';
        first = false;
        // Keys passed the name rule (or are the SDK's own), so they need no escaping.
        out += '"';
        out += key;
        out += "\":";
        value.appendJson(out);
    }
    out += '}';
}

} // namespace qx_analytics::utils
