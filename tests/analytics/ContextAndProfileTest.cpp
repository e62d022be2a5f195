// Context properties with their label checks, and the user-profile mode table.
#include "analytics/sdk/RecordQueue.h"
#include "analytics/tracker/NativeUserTracker.h"
#include "analytics/tracker/QxContextProperties.h"
#include "analytics/tracker/QxException.h"
#include "tests/analytics/AnalyticsTestSupport.h"
#include "tests/analytics/CollectorProcess.h"

#include <gtest/gtest.h>

using namespace quxin::tracking;
using qx_analytics::Sdk;
using qx_analytics::utils::PropertiesNode;

namespace {

// The message of the QxException `call` throws; empty when it throws none.
std::string thrownBy(const std::function<void()>& call) {
    try {
        call();
    } catch (const QxException& error) {
        return error.message();
    }
    return {};
}

} // namespace

TEST(QxContextProperties, TestGroupLabels) {
    struct Case {
        const char* label;
        bool valid;
        const char* message;
    } cases[] = {
        {"IN", true, ""},
        {"A", true, ""},
        {"B7", true, ""},
        {"AB3", true, ""},
        {"ZZZ", true, ""},
        {"", false, ""},
        {"in", false, "First char is not in A to Z"},
        {"1A", false, "First char is not in A to Z"},
        {"ABCD", false, "value's length is great than 3."},
        {"Ab", false, "second char is not in A to Z and 0 to 9"},
        {"AB-", false, "third char is not in A to Z and 0 to 9"},
    };
    for (const auto& c : cases) {
        bool valid = false;
        EXPECT_EQ(thrownBy([&] { valid = QxContextProperties::isValidABValue(c.label); }), c.message)
            << c.label;
        EXPECT_EQ(valid, c.valid) << c.label;
    }
}

TEST(QxContextProperties, LabelsReachOnlyTheEventTypesTheyWereDeclaredFor) {
    QxContextProperties context;
    EXPECT_EQ(thrownBy([&] { context.setProperty({7, 15, 3}, "IN"); }), "QxEvent[15] overflow!");
    EXPECT_EQ(context.getEventProperties(7).size(), 1u) << "types before the overflow keep the label";
    EXPECT_TRUE(context.getEventProperties(3).empty());
    EXPECT_EQ(thrownBy([&] { context.setProperty({3}, "IN"); }), "Property[qxc_ab] already exist!");
    EXPECT_EQ(thrownBy([&] { context.getEventProperties(15); }), "QxEvent[15] overflow!");

    PropertiesNode task, click;
    context.mergeInto(static_cast<int>(QxEventType::Task), task);
    context.mergeInto(static_cast<int>(QxEventType::Click), click);
    EXPECT_EQ(task.toJson(), R"({"qxc_ab":"IN"})");
    EXPECT_EQ(click.toJson(), "{}");
}

TEST(QxContextProperties, EntriesOfEveryKindMerge) {
    ScopedTimeZone zone("CST-8");
    QxContextProperties context;
    context.declare({4}, "flag", QxContextProperties::Kind::Bool, true);
    context.declare({4}, "seconds", QxContextProperties::Kind::DateTime, int64_t{1700000000});
    context.declare({4}, "milliseconds", QxContextProperties::Kind::DateTime, int64_t{1700000000250});
    context.declare({4}, "ratio", QxContextProperties::Kind::Number, 0.25);
    context.declare({4}, "tags", QxContextProperties::Kind::List, std::vector<std::string>{"a", "b"});
    context.declare({4}, "bad", QxContextProperties::Kind::String, std::string("\x07"));
    PropertiesNode view;
    std::string errors = TestSupport::CaptureStandardError([&] { context.mergeInto(4, view); });
    EXPECT_EQ(view.toJson(), R"({"flag":true,"milliseconds":"2023-11-15 06:13:20.250","ratio":0.25,)"
                             R"("seconds":"2023-11-15 06:13:20.000","tags":["a","b"]})");
    EXPECT_EQ(errors, "String property 'bad' is not valid UTF-8 string, value: \x07\n")
        << "dropped, the rest stays";
}

TEST(NativeUserTracker, ModeTable) {
    SdkSession sdk;
    struct Case {
        std::function<void()> call;
        std::string message;  // of the refusal; empty when accepted
        std::string expected; // the record's type and properties when accepted
    } cases[] = {
        {[] { NativeUserTracker::ProfileUserPropertyString("qx_paid_count", "1"); },
         "user property [qx_paid_count] is string type value, it cannot be accumulated!", ""},
        {[] { NativeUserTracker::ProfileUserPropertyString("favourite", "x"); },
         "Not supported user property [favourite]!", ""},
        {[] { NativeUserTracker::ProfileUserPropertyNumber("favourite", 1); },
         "Not supported user property [favourite]!", ""},
        {[] { NativeUserTracker::ProfileUserPropertyDateTime("qx_visit_count", 1); },
         "user property [qx_visit_count] is date-time value, it cannot be accumulated!", ""},
        {[] { NativeUserTracker::ProfileUserPropertyNumber("qx_label", 7); }, "",
         R"(profile_set {"qx_label":7})"},
        {[] { NativeUserTracker::ProfileUserPropertyString("qx_label", "blue"); }, "",
         R"(profile_set {"qx_label":"blue"})"},
        {[] { NativeUserTracker::ProfileUserPropertyString("qx_first_paid_date", "x"); }, "",
         R"(profile_set_once {"qx_first_paid_date":"x"})"},
        {[] { NativeUserTracker::ProfileUserPropertyNumber("qx_visit_count", 2); }, "",
         R"(profile_increment {"qx_visit_count":2})"},
        {[] { NativeUserTracker::ProfileUserPropertyNumber("qx_consumption", 9.5); }, "",
         R"(profile_increment {"qx_consumption":9.5})"},
        {[] { NativeUserTracker::ProfileUserPropertyNumber("$first_visit_time", 3.0); }, "",
         R"(profile_set_once {"$first_visit_time":3})"},
    };
    for (const auto& c : cases) {
        const size_t before = Sdk::Queue()->size();
        EXPECT_EQ(thrownBy(c.call), c.message);
        auto records = Sdk::Queue()->records();
        if (c.message.empty()) {
            ASSERT_EQ(records.size(), before + 1) << c.expected;
            Json::Value record = ParseJson(records.back());
            Json::StreamWriterBuilder writer;
            writer["indentation"] = "";
            EXPECT_EQ(record["type"].asString() + " " + Json::writeString(writer, record["properties"]),
                      c.expected);
        } else {
            EXPECT_EQ(records.size(), before) << c.message;
        }
    }
}

TEST(NativeUserTracker, SecondsAndMillisecondsGiveTheSameProfileTime) {
    SdkSession sdk;
    NativeUserTracker::ProfileUserPropertyDateTime("qx_last_visit_date", 1700000000);
    NativeUserTracker::ProfileUserPropertyDateTime("qx_last_visit_date", 1700000000000);
    NativeUserTracker::ProfileUserPropertyDateTime("$first_visit_time", 1700000000123);
    auto records = Sdk::Queue()->records();
    ASSERT_EQ(records.size(), 3u);
    const Json::Value first = ParseJson(records[0]), second = ParseJson(records[1]),
                      third = ParseJson(records[2]);
    EXPECT_EQ(first["type"].asString(), "profile_set");
    EXPECT_EQ(first["properties"]["qx_last_visit_date"], second["properties"]["qx_last_visit_date"]);
    EXPECT_TRUE(first["properties"]["qx_last_visit_date"].asString().ends_with(".000"));
    EXPECT_EQ(third["type"].asString(), "profile_set_once");
    EXPECT_TRUE(third["properties"]["$first_visit_time"].asString().ends_with(".123"));
}
