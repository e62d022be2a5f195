// The JSON text of values and objects, and the string checks applied before a value is stored.
#include "analytics/sdk/ObjectNode.h"
#include "analytics/sdk/PropertiesNode.h"
#include "analytics/sdk/Validation.h"
#include "tests/analytics/AnalyticsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using qx_analytics::ValueNode;
using qx_analytics::utils::ObjectNode;
using qx_analytics::utils::PropertiesNode;

namespace {

std::string json(const ValueNode& value) {
    std::string out;
    value.appendJson(out);
    return out;
}

} // namespace

TEST(SdkJson, ValueTexts) {
    ScopedTimeZone zone("CST-8"); // UTC+8 without daylight saving, whatever the machine's zone
    struct Case {
        ValueNode value;
        const char* text;
    } cases[] = {
        {ValueNode::Number(0.1), "0.1"},
        {ValueNode::Number(1234567), "1.23457e+06"},
        {ValueNode::Number(2.5), "2.5"},
        {ValueNode::Number(100.0), "100"},
        {ValueNode::Number(-0.000012345678), "-1.23457e-05"},
        {ValueNode::Int(-9007199254740993), "-9007199254740993"},
        {ValueNode::Bool(false), "false"},
        {ValueNode::String("\b\t\n\f\r\"\\/\x01\xE4\xB8\xAD"),
         "\"\\b\\t\\n\\f\\r\\\"\\\\/\x01\xE4\xB8\xAD\""},
        {ValueNode::List({"a", "b\"c", ""}), R"(["a","b\"c",""])"},
        {ValueNode::List({}), "[]"},
        {ValueNode::Time({1700000000, 250}), "\"2023-11-15 06:13:20.250\""},
        {ValueNode::Time({0, 7}), "\"1970-01-01 08:00:00.007\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(json(c.value), c.text);
}

TEST(SdkJson, MembersAppearInByteOrderOfKeysWhateverTheOrderTheyWereSet) {
    ObjectNode inner;
    inner.setInt("z", 1);
    inner.setInt("Z", 2);
    ObjectNode node;
    node.setString("b", "1");
    node.setInt("a", 2);
    node.setBool("_u", true);
    node.setString("A", "x");
    node.setNumber("$n", 0.5);
    node.setObject("o", inner);
    node.setInt("a", 3); // replaces
    EXPECT_EQ(node.toJson(), R"({"$n":0.5,"A":"x","_u":true,"a":3,"b":"1","o":{"Z":2,"z":1}})");

    PropertiesNode properties; // flat: nested objects are ignored
    properties.setObject("o", inner);
    properties.setString("k", "v");
    properties.merge(node);
    EXPECT_EQ(properties.toJson(), R"({"$n":0.5,"A":"x","_u":true,"a":3,"b":"1","k":"v","o":{"Z":2,"z":1}})")
        << "merge copies members as they are";
}

TEST(SdkJson, StringValuesAreCheckedBeforeTheyAreStored) {
    struct Case {
        std::string value;
        bool accepted;
    } cases[] = {
        {std::string(8192, 'x'), true},
        {"tab\there, line\r\nend", true},
        {"\xE4\xB8\xAD\xF0\x9F\x98\x80\xC2\xA9\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF", true},
        {"", true},
        {"bell\x07", false},
        {"del\x7F", false},
        {std::string("nul\0", 4), false},
        {"\xC0\x80", false},         // overlong
        {"\xE0\x9F\xBF", false},     // overlong
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // above U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xE4\xB8", false}, // cut off
        {"\x80", false},
    };
    for (const auto& c : cases) {
        PropertiesNode node;
        std::string errors = TestSupport::CaptureStandardError([&] { node.setString("k", c.value); });
        EXPECT_EQ(node.find("k") != nullptr, c.accepted) << testing::PrintToString(c.value);
        if (c.accepted)
            EXPECT_EQ(errors, "");
        else
            EXPECT_EQ(errors, "String property 'k' is not valid UTF-8 string, value: " + c.value + "\n");
    }
    PropertiesNode node;
    std::string tooLong(8193, 'y');
    std::string errors = TestSupport::CaptureStandardError([&] { node.setString("long", tooLong); });
    EXPECT_TRUE(node.empty());
    EXPECT_EQ(errors, "String property 'long' is too long, value: " + tooLong + "\n");
}
