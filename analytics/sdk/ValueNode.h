#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace qx_analytics {

namespace utils {
class ObjectNode;
}

// A point in time as the collector receives it: written in the local time zone with milliseconds.
struct DateTime {
    int64_t seconds{0}; // since 1970-01-01 UTC
    int milliseconds{0};
};

// One property value of one of seven kinds; the variant's alternatives are in the order of Kind.
class ValueNode {
public:
    enum class Kind { Number = 0, Int, String, List, DateTime, Bool, Object };

    static ValueNode Number(double value);
    static ValueNode Int(int64_t value);
    static ValueNode String(std::string value);
    static ValueNode List(std::vector<std::string> value);
    static ValueNode Time(DateTime value);
    static ValueNode Bool(bool value);
    static ValueNode Object(const utils::ObjectNode& value);

    Kind kind() const { return static_cast<Kind>(m_Value.index()); }
    double number() const { return std::get<double>(m_Value); }
    int64_t integer() const { return std::get<int64_t>(m_Value); }
    const std::string& string() const { return std::get<std::string>(m_Value); }
    const std::vector<std::string>& list() const { return std::get<std::vector<std::string>>(m_Value); }
    DateTime dateTime() const { return std::get<DateTime>(m_Value); }
    bool boolean() const { return std::get<bool>(m_Value); }
    const utils::ObjectNode& object() const {
        return *std::get<std::shared_ptr<const utils::ObjectNode>>(m_Value);
    }

    void appendJson(std::string& out) const;

private:
    using Value = std::variant<double, int64_t, std::string, std::vector<std::string>, DateTime, bool,
                               std::shared_ptr<const utils::ObjectNode>>;
    explicit ValueNode(Value value) : m_Value(std::move(value)) {}

    Value m_Value;
};

// JSON pieces shared by every writer of records.
void AppendJsonString(std::string& out, const std::string& text);
void AppendJsonNumber(std::string& out, double value);
// "YYYY-MM-DD hh:mm:ss.mmm" in the local time zone, without quotes.
std::string LocalTimeText(DateTime time);

} // namespace qx_analytics
