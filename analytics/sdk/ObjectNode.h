#pragma once

#include "analytics/sdk/ValueNode.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qx_analytics::utils {

// An ordered JSON object. Members are kept in plain byte order of their keys, so every object the SDK
// writes lists them the same way whatever order they were set in. Keys are checked only when a record
// is built; string values are checked here and a refused one is not stored.
class ObjectNode {
public:
    virtual ~ObjectNode() = default;

    void setString(const std::string& key, const std::string& value);
    void setString(const std::string& key, const char* value);
    void setNumber(const std::string& key, double value);
    void setInt(const std::string& key, int64_t value);
    void setBool(const std::string& key, bool value);
    void setDateTime(const std::string& key, int64_t seconds, int milliseconds);
    void setList(const std::string& key, std::vector<std::string> value);
    virtual void setObject(const std::string& key, const ObjectNode& value);

    // Stores a value as it is, without the string checks.
    void setValue(const std::string& key, ValueNode value);
    // Copies every member of `other`, replacing equal keys.
    void merge(const ObjectNode& other);
    void remove(const std::string& key) { m_Members.erase(key); }

    const ValueNode* find(const std::string& key) const;
    const std::map<std::string, ValueNode>& members() const { return m_Members; }
    bool empty() const { return m_Members.empty(); }

    std::string toJson() const;
    void appendJson(std::string& out) const;

private:
    std::map<std::string, ValueNode> m_Members;
};

} // namespace qx_analytics::utils
