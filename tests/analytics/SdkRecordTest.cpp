// Records as the SDK builds them: members, stamps, identity, and the checks that refuse a record.
#include "analytics/sdk/RecordQueue.h"
#include "analytics/sdk/TrackId.h"
#include "tests/analytics/AnalyticsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using qx_analytics::Sdk;
using qx_analytics::utils::PropertiesNode;

namespace {

std::vector<std::string> queued() {
    return Sdk::Queue()->records();
}

} // namespace

TEST(SdkRecord, TrackRecordCarriesSuperPropertiesAndTheGivenTime) {
    SdkSession sdk;
    PropertiesNode super;
    super.setString("qx_app_id", "Tovaclip.downloader");
    Sdk::RegisterSuperProperties(super);
    PropertiesNode properties;
    properties.setString("name", "x");
    properties.setDateTime("$time", 1700000000, 250);
    properties.setInt("count", 3);
    ASSERT_TRUE(Sdk::Track("QxEventTask", properties));
    ASSERT_TRUE(Sdk::Track("QxEventLaunch", {}));
    ASSERT_TRUE(Sdk::ProfileSet("qx_label", std::string("blue")));

    auto records = queued();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(
        WithoutTrackId(records[0]),
        R"({"_track_id":N,"distinct_id":"device-1","event":"QxEventTask",)"
        R"("lib":{"$lib":"cpp","$lib_method":"code","$lib_version":"0.9"},)"
        R"("properties":{"$lib":"cpp","$lib_version":"0.9","count":3,"name":"x","qx_app_id":"Tovaclip.downloader"},)"
        R"("time":1700000000250,"type":"track"})");
    EXPECT_NE(records[1].find(
                  R"("properties":{"$lib":"cpp","$lib_version":"0.9","qx_app_id":"Tovaclip.downloader"},)"),
              std::string::npos)
        << records[1];
    // Profile records carry no super properties and no event.
    EXPECT_NE(
        records[2].find(
            R"("distinct_id":"device-1","lib":{"$lib":"cpp","$lib_method":"code","$lib_version":"0.9"},)"
            R"("properties":{"qx_label":"blue"},"time":)"),
        std::string::npos)
        << records[2];
    EXPECT_TRUE(records[2].ends_with(R"(,"type":"profile_set"})")) << records[2];
}

TEST(SdkRecord, ProjectLeavesThePropertiesAndBecomesAMemberWhenNotEmpty) {
    SdkSession sdk;
    PropertiesNode named;
    named.setString("$project", "pc");
    PropertiesNode empty;
    empty.setString("$project", "");
    ASSERT_TRUE(Sdk::Track("E", named));
    ASSERT_TRUE(Sdk::Track("E", empty));
    auto records = queued();
    EXPECT_NE(records[0].find(R"("project":"pc","properties":{"$lib":"cpp","$lib_version":"0.9"},)"),
              std::string::npos)
        << records[0];
    EXPECT_EQ(records[1].find("project"), std::string::npos) << records[1];
}

TEST(SdkRecord, SignUpSwitchesToTheLoginId) {
    SdkSession sdk("device-1");
    ASSERT_TRUE(Sdk::TrackSignup("user-7"));
    ASSERT_TRUE(Sdk::Track("E", {}));
    ASSERT_TRUE(Sdk::ProfileSet("qx_label", std::string("x")));
    auto records = queued();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_NE(records[0].find(R"("distinct_id":"user-7","event":"$SignUp",)"), std::string::npos)
        << records[0];
    EXPECT_NE(
        records[0].find(R"("original_id":"device-1","properties":{"$lib":"cpp","$lib_version":"0.9"},)"),
        std::string::npos)
        << records[0] << " has no $is_login_id: the SDK was not logged in yet";
    EXPECT_TRUE(records[0].ends_with(R"(,"type":"track_signup"})"));
    for (const std::string& record : {records[1], records[2]}) {
        EXPECT_NE(record.find(R"("distinct_id":"user-7")"), std::string::npos) << record;
        EXPECT_NE(record.find(R"("$is_login_id":true)"), std::string::npos) << record;
    }
}

TEST(SdkRecord, RefusedRecordsAndTheirMessages) {
    SdkSession sdk;
    auto with = [](auto set) {
        PropertiesNode node;
        set(node);
        return node;
    };
    struct Case {
        const char* name;
        std::function<bool()> add;
        bool queued;
        std::string message;
    } cases[] = {
        {"$time as a string",
         [&] { return Sdk::Track("E", with([](auto& n) { n.setString("$time", "now"); })); }, false,
         "The property '$time' should be DateTime type."},
        {"$project as a number",
         [&] { return Sdk::Track("E", with([](auto& n) { n.setInt("$project", 1); })); }, false,
         "The property '$project' should be String type."},
        {"key with a hyphen", [&] { return Sdk::Track("E", with([](auto& n) { n.setInt("bad-key", 1); })); },
         false, "The Property Key need to be a valid variable name.\n"},
        {"key of 101 bytes",
         [&] { return Sdk::Track("E", with([](auto& n) { n.setInt(std::string(101, 'k'), 1); })); }, false,
         "The Property Key is empty or too long, max length is 100\n"},
        {"event beginning with a digit", [] { return Sdk::Track("1event", {}); }, false,
         "The Event Name need to be a valid variable name.\n"},
        {"event of 101 bytes", [] { return Sdk::Track(std::string(101, 'e'), {}); }, false,
         "The Event Name is empty or too long, max length is 100\n"},
        {"empty event", [] { return Sdk::Track("", {}); }, false,
         "The Event Name is empty or too long, max length is 100\n"},
        {"event of 100 bytes", [] { return Sdk::Track(std::string(100, 'e'), {}); }, true, ""},
        {"underscore, letter, dollar, digit", [] { return Sdk::Track("_a$1", {}); }, true, ""},
        {"profile records check no event name", [] { return Sdk::ProfileSet("qx_os", std::string("Linux")); },
         true, ""},
        {"sign-up needs an original id of at most 255 bytes",
         [] { return Sdk::AddEvent("track_signup", "$SignUp", {}, "u", std::string(256, 'o')); }, false,
         "The Original ID is too long, max length is 255.\n"},
        {"sign-up with an empty original id",
         [] { return Sdk::AddEvent("track_signup", "$SignUp", {}, "u", ""); }, false,
         "The Original ID is empty.\n"},
    };
    for (const auto& c : cases) {
        size_t before = Sdk::Queue()->size();
        bool added = false;
        std::string errors = TestSupport::CaptureStandardError([&] { added = c.add(); });
        EXPECT_EQ(added, c.queued) << c.name;
        EXPECT_EQ(Sdk::Queue()->size(), before + (c.queued ? 1 : 0)) << c.name;
        EXPECT_EQ(errors, c.message) << c.name;
    }
}

TEST(SdkRecord, InitChecksTheDistinctIdAndKeepsAnExistingInstance) {
    for (const auto& [id, message] : std::vector<std::pair<std::string, std::string>>{
             {"", "The Distinct ID is empty.\n"},
             {std::string(256, 'd'), "The Distinct ID is too long, max length is 255.\n"}}) {
        bool started = true;
        std::string errors = TestSupport::CaptureStandardError(
            [&] { started = Sdk::Init("", "http://127.0.0.1:9/", id, false); });
        EXPECT_FALSE(started);
        EXPECT_FALSE(Sdk::Exists());
        EXPECT_EQ(errors, message);
    }
    SdkSession sdk("first");
    EXPECT_TRUE(Sdk::Init("", "http://127.0.0.1:9/", "second", true));
    EXPECT_EQ(Sdk::DistinctId(), "first");
    EXPECT_FALSE(Sdk::IsLoginId());
}

TEST(SdkRecord, WithoutAnInstanceNothingHappens) {
    ASSERT_FALSE(Sdk::Exists());
    EXPECT_FALSE(Sdk::Track("E", {}));
    EXPECT_FALSE(Sdk::ProfileSet("qx_label", std::string("x")));
    EXPECT_FALSE(Sdk::FlushAll());
    EXPECT_EQ(Sdk::Queue(), nullptr);
}

TEST(SdkRecord, TrackIdComposition) {
    struct Case {
        int r1, r2;
        int64_t now;
        int32_t id;
    } cases[] = {
        {0, 0, 0, 0},               // every part zero: leading zeros vanish
        {98, 998, 9999, 989989999}, // the largest parts
        {99, 999, 10000, 0},        // the moduli wrap to zero
        {2147483647, 2147483647, 1700000012345, 12802345},
    };
    for (const auto& c : cases) {
        int32_t id = qx_analytics::ComposeTrackId(c.r1, c.r2, c.now);
        EXPECT_EQ(id, c.id) << c.r1 << " " << c.r2 << " " << c.now;
        EXPECT_GE(id, 0);
        EXPECT_LE(id, 999'999'999);
    }
}
