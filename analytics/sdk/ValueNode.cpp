#include "analytics/sdk/ValueNode.h"

#include "analytics/sdk/ObjectNode.h"

#include <cstdio>
#include <ctime>
#include <locale>
#include <sstream>

namespace qx_analytics {

ValueNode ValueNode::Number(double value) {
    return ValueNode(Value(std::in_place_index<0>, value));
}
ValueNode ValueNode::Int(int64_t value) {
    return ValueNode(Value(std::in_place_index<1>, value));
}
ValueNode ValueNode::String(std::string value) {
    return ValueNode(Value(std::in_place_index<2>, std::move(value)));
}
ValueNode ValueNode::List(std::vector<std::string> value) {
    return ValueNode(Value(std::in_place_index<3>, std::move(value)));
}
ValueNode ValueNode::Time(DateTime value) {
    return ValueNode(Value(std::in_place_index<4>, value));
}
ValueNode ValueNode::Bool(bool value) {
    return ValueNode(Value(std::in_place_index<5>, value));
}
ValueNode ValueNode::Object(const utils::ObjectNode& value) {
    return ValueNode(Value(std::in_place_index<6>, std::make_shared<const utils::ObjectNode>(value)));
}

void ValueNode::appendJson(std::string& out) const {
    switch (kind()) {
    case Kind::Number:
        AppendJsonNumber(out, number());
        break;
    case Kind::Int:
        out += std::to_string(integer());
        break;
    case Kind::String:
        AppendJsonString(out, string());
        break;
    case Kind::List: {
        out += '[';
        bool first = true;
        for (const std::string& element : list()) {
            if (!first)
                out += ',';
            first = false;
            AppendJsonString(out, element);
        }
        out += ']';
        break;
    }
    case Kind::DateTime:
        out += '"';
        out += LocalTimeText(dateTime());
        out += '"';
        break;
    case Kind::Bool:
        out += boolean() ? "true" : "false";
        break;
    case Kind::Object:
        out += object().toJson();
        break;
    }
}

void AppendJsonString(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        switch (c) {
        case '\b':
            out += "\\b";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\r':
            out += "\\r";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c; // other bytes were refused or are valid UTF-8
        }
    }
    out += '"';
}

void AppendJsonNumber(std::string& out, double value) {
    // A default stream: six significant digits, independent of the process's locale.
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << value;
    out += stream.str();
}

std::string LocalTimeText(DateTime time) {
    std::time_t seconds = static_cast<std::time_t>(time.seconds);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  time.milliseconds);
    return text;
}

} // namespace qx_analytics
