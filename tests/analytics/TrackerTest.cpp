// The tracker: identity, presets, events and their checks, deliveries and the last delivery at exit.
#include "analytics/sdk/RecordQueue.h"
#include "analytics/tracker/QxException.h"
#include "analytics/tracker/UsageTrackerImpl.h"
#include "analytics/tracker/UsageTrackerWrapper.h"
#include "tests/analytics/TrackerFixture.h"

#include <regex>

using namespace quxin::tracking;
using qx_analytics::Sdk;

namespace {

QxEventTask task(const std::string& name) {
    QxEventTask event;
    event.name = name;
    event.elapsed = std::make_shared<float>(0.0f);
    event.result = std::make_shared<QxResult>(QxResult::Success);
    return event;
}

void trackTask(UsageTracker& tracker, const std::string& name) {
    QxContextProperties context;
    tracker.trackTask(task(name), context);
}

std::vector<std::string> eventNames(const std::vector<Json::Value>& records) {
    std::vector<std::string> names;
    for (const Json::Value& record : records)
        names.push_back(record["type"].asString() == "track" ? record["event"].asString()
                                                             : record["type"].asString());
    return names;
}

} // namespace

TEST_F(TrackerTest, FirstRunWritesTheIdentityFileAndLaterRunsKeepIt) {
    const std::string url = "http://127.0.0.1:9/collect?project=pc";
    { auto tracker = config(url).createTracker(); }
    const std::string id = identity("Base", "DistinctId");
    EXPECT_TRUE(
        std::regex_match(id, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")))
        << id;
    EXPECT_EQ(identity("Base", "PrimaryDistinctId"), id);
    EXPECT_EQ(identity("Base", "UserId"), "");
    EXPECT_EQ(identity("Base", "UserVipLevel"), "0");
    EXPECT_EQ(identity("Base", "URL"), url);
    EXPECT_EQ(identity("Base", "isLogined"), "NG");
    EXPECT_EQ(identity("UninstallInfo", "AppStore"), "TovaclipSetup");
    EXPECT_EQ(identity("UninstallInfo", "AppName"), kAppName);
    EXPECT_EQ(identity("UninstallInfo", "AppVersion"), "1.7.9");
    EXPECT_TRUE(std::filesystem::exists(dataFolder() / "Tovaclip.downloader_QXSLog.txt"));

    auto tracker = config(url).createTracker();
    EXPECT_EQ(tracker->getDistinctId(), id);
}

TEST_F(TrackerTest, SettingsOfAnInstalledProductNameTheIdentityFile) {
    TestSupport::WriteFile(
        m_Dir.path() / "Set.ini",
        "[Install]\nQXAnalyticsIni=" + (m_Dir.path() / "product\\QXAnalytics.ini").string() + "\n");
    { auto tracker = config("http://127.0.0.1:9/").createTracker(); }
    const auto file = m_Dir.path() / "product" / "QXAnalytics.ini";
    EXPECT_EQ(Platform::GetProfileString(L"Base", L"isLogined", L"", file.wstring(), 128), L"NG");
    EXPECT_FALSE(std::filesystem::exists(dataFolder()));
}

TEST_F(TrackerTest, StoredIdentityIsReconciledAtStart) {
    CollectorProcess collector;
    struct Case {
        const char* name;
        std::string base; // the "Base" section; {url} stands for the collector's address
        std::string distinctId;
        bool loginRecord;
        std::string savedUserId, savedLogin;
    } cases[] = {
        {"a changed collector starts over from the machine's id",
         "DistinctId=user-1\nPrimaryDistinctId=P-1\nUserId=user-1\nisLogined=OK\nURL=http://old/\n", "P-1",
         false, "", "NG"},
        {"\"ok\" in lower case is not logged in",
         "DistinctId=D-2\nPrimaryDistinctId=D-2\nUserId=user-2\nisLogined=ok\nURL={url}\n", "D-2", false,
         "user-2", "NG"},
        {"logged in without a user id is logged out",
         "DistinctId=D-3\nPrimaryDistinctId=D-3\nUserId=\nisLogined=OK\nURL={url}\n", "D-3", false, "", "NG"},
        {"logged in", "DistinctId=user-4\nPrimaryDistinctId=D-4\nUserId=user-4\nisLogined=OK\nURL={url}\n",
         "user-4", true, "user-4", "OK"},
    };
    for (const auto& c : cases) {
        std::filesystem::create_directories(dataFolder());
        TestSupport::WriteFile(identityFile(),
                               "[Base]\n" +
                                   std::regex_replace(c.base, std::regex("\\{url\\}"), collector.url()));
        const size_t before = collector.recordLines().size();
        {
            auto tracker = config(collector.url()).createTracker();
            trackTask(*tracker, "t");
        }
        ASSERT_EQ(collector.recordLines().size(), before + 1) << c.name;
        const Json::Value record = collector.records().back();
        EXPECT_EQ(record["distinct_id"].asString(), c.distinctId) << c.name;
        EXPECT_EQ(PropertiesOf(record).isMember("$is_login_id"), c.loginRecord) << c.name;
        EXPECT_EQ(identity("Base", "UserId"), c.savedUserId) << c.name;
        EXPECT_EQ(identity("Base", "isLogined"), c.savedLogin) << c.name;
        EXPECT_EQ(identity("Base", "URL"), collector.url()) << c.name;
    }
}

TEST_F(TrackerTest, PresetsDescribeThisSystem) {
    CollectorProcess collector;
    {
        auto tracker = config(collector.url()).createTracker();
        trackTask(*tracker, "before");
        tracker->setLocale("zh_CN");
        trackTask(*tracker, "after");
        tracker->setLocale("nonsense");
        trackTask(*tracker, "system again");
    }
    auto records = collector.records();
    ASSERT_EQ(records.size(), 3u);
    const Json::Value& p = PropertiesOf(records[0]);
    for (const auto& [key, value] :
         std::vector<std::pair<std::string, std::string>>{{"$app_id", kAppName},
                                                          {"qx_app_id", kAppName},
                                                          {"$app_version", "1.7.9"},
                                                          {"qx_app_store", "TovaclipSetup"},
                                                          {"qx_edition", "china"},
                                                          {"qx_dlapp_id", "Tovaclip"},
                                                          {"qx_app_platform", "Linux"},
                                                          {"qx_track_type", "Client"},
                                                          {"qx_sdk_version", "3.3.8"},
                                                          {"qx_sdk", "LinuxCPP"},
                                                          {"$os", "Linux"},
                                                          {"qx_l10n_locale", "de_DE"},
                                                          {"qx_l10n_language", "de"},
                                                          {"qx_l10n_country", "DE"},
                                                          {"$lib", "cpp"},
                                                          {"$lib_version", "0.9"}})
        EXPECT_EQ(p[key].asString(), value) << key;
    EXPECT_FALSE(p["$os_version"].asString().empty());
    EXPECT_TRUE(p["$screen_width"].isInt() && p["$screen_width"].asInt() == 0);
    EXPECT_TRUE(p["$screen_height"].isInt());
    EXPECT_FALSE(p.isMember("qx_dlapp_version")) << "only when given";
    EXPECT_FALSE(p.isMember("qx_user_id")) << "no user is logged in";
    EXPECT_EQ(PropertiesOf(records[1])["qx_l10n_locale"].asString(), "zh_CN");
    EXPECT_EQ(PropertiesOf(records[1])["qx_l10n_language"].asString(), "zh");
    EXPECT_EQ(PropertiesOf(records[1])["qx_l10n_country"].asString(), "CN");
    EXPECT_EQ(PropertiesOf(records[2])["qx_l10n_locale"].asString(), "de_DE");
}

TEST_F(TrackerTest, ActivityIsSentAtOnceWithItsProfileUpdates) {
    CollectorProcess collector;
    auto tracker = config(collector.url()).createTracker();
    QxContextProperties context;
    tracker->trackActivity(context);
    ASSERT_TRUE(collector.waitForRecords(11));
    auto records = collector.records();
    EXPECT_EQ(eventNames(records),
              (std::vector<std::string>{"QxEventActivity", "profile_set_once", "profile_set_once",
                                        "profile_set", "profile_set", "profile_set", "profile_set",
                                        "profile_set", "profile_set", "profile_set", "profile_set_once"}));
    const Json::Value& p = PropertiesOf(records[0]);
    EXPECT_EQ(p["$ios_install_source"].asString(), "android_id=123##imei=1234##mac=123");
    EXPECT_TRUE(
        std::regex_match(p["$user_agent"].asString(), std::regex(R"(Mozilla/5\.0\(Linux .+; X11; .+;\))")))
        << p["$user_agent"].asString();
    EXPECT_TRUE(PropertiesOf(records[1]).isMember("$first_visit_time"));
    EXPECT_FALSE(PropertiesOf(records[1]).isMember("$lib")) << "profile records carry no presets";
    EXPECT_EQ(PropertiesOf(records[7])["qx_app_platform"].asString(), "Linux");

    tracker->trackActivity(context);
    ASSERT_TRUE(collector.waitForRecords(22));
    int firstVisits = 0;
    for (const Json::Value& record : collector.records())
        firstVisits += record["type"].asString() == "profile_set_once" &&
                       PropertiesOf(record).isMember("$first_visit_time");
    EXPECT_EQ(firstVisits, 2) << "the collector keeps the first";
}

TEST_F(TrackerTest, DeliveryIsDetachedUntilAPostSucceedsThenRunsOnTheCallingThread) {
    CollectorProcess collector;
    auto tracker = config(collector.url()).createTracker();
    QxContextProperties context;
    QxEventClick click;
    click.name = "立即安装";
    std::string errors = TestSupport::CaptureStandardError([&] {
        tracker->trackClick(click, context);
        tracker->trackUninstall("", context);
    });
    EXPECT_NE(errors.find("[Analytics] Sending messages asynchronously\n"), std::string::npos) << errors;
    ASSERT_TRUE(collector.waitForRecords(2));
    // The collector wrote the records before it answered; the tracker knows of the success a moment later.
    ASSERT_TRUE(TestSupport::WaitUntil([] { return Sdk::LastSendSucceeded(); }));

    errors = TestSupport::CaptureStandardError([&] {
        tracker->trackClick(click, context);
        tracker->trackUninstall("", context);
    });
    EXPECT_EQ(errors, "");
    EXPECT_EQ(collector.recordLines().size(), 4u) << "posted before trackUninstall returned";
    EXPECT_EQ(
        eventNames(collector.records()),
        (std::vector<std::string>{"QxEventClick", "QxEventUninstall", "QxEventClick", "QxEventUninstall"}));
}

TEST_F(TrackerTest, DeferredRecordsLeaveWithTheLastDelivery) {
    CollectorProcess collector;
    auto tracker = config(collector.url()).createTracker();
    QxContextProperties context;
    context.setProperty({static_cast<int>(QxEventType::View)}, "IN");
    tracker->trackClick({.name = "自定义安装"}, context);
    tracker->trackView({.name = "安装中"}, context);
    trackTask(*tracker, "开始下载大包");
    EXPECT_TRUE(collector.requests().empty());
    tracker.reset();
    auto records = collector.records();
    EXPECT_EQ(eventNames(records), (std::vector<std::string>{"QxEventClick", "QxEventView", "QxEventTask"}));
    EXPECT_EQ(collector.requests().size(), 1u);
    EXPECT_FALSE(PropertiesOf(records[0]).isMember("qxc_ab")) << "declared for views only";
    EXPECT_EQ(PropertiesOf(records[1])["qxc_ab"].asString(), "IN");
    EXPECT_EQ(PropertiesOf(records[1])["qx_name"].asString(), "安装中");
}

// A detached delivery still posting when the tracker ends: the end waits for it, so its batch is put
// back into a queue that still exists and reaches the staging file.
TEST_F(TrackerTest, TheEndWaitsForADeliveryInFlight) {
    CollectorProcess collector("stall");
    TestSupport::CaptureStandardError([&] {
        auto tracker = config(collector.url()).createTracker();
        QxContextProperties context;
        tracker->trackClick({.name = "立即安装"}, context);
        tracker->trackUninstall("", context); // posted on a detached thread, which the collector holds
        ASSERT_TRUE(TestSupport::WaitUntil([&] { return collector.requests().size() == 1; }));
        collector.setAnswer("fail"); // the last delivery fails at once
    });
    auto staged = stagedRecords();
    ASSERT_EQ(staged.size(), 2u);
    EXPECT_EQ(ParseJson(staged[0])["event"].asString(), "QxEventClick");
    EXPECT_EQ(ParseJson(staged[1])["event"].asString(), "QxEventUninstall");
}

TEST_F(TrackerTest, RecordsOfARunWithoutCollectorAreSentByTheNextRun) {
    std::string closedUrl;
    {
        CollectorProcess gone;
        closedUrl = gone.url();
    }
    TestSupport::CaptureStandardError([&] {
        auto tracker = config(closedUrl).createTracker();
        trackTask(*tracker, "first");
        trackTask(*tracker, "second");
        QxContextProperties context;
        tracker->trackUninstall("", context); // an immediate delivery that fails
    });
    EXPECT_EQ(stagedRecords().size(), 3u);

    CollectorProcess collector;
    {
        auto tracker = config(collector.url()).createTracker();
        trackTask(*tracker, "third");
    }
    auto records = collector.records();
    ASSERT_EQ(records.size(), 4u);
    std::vector<std::string> tasks;
    for (const Json::Value& record : records)
        tasks.push_back(PropertiesOf(record).get("qx_task_name", record["event"]).asString());
    EXPECT_EQ(tasks, (std::vector<std::string>{"first", "second", "QxEventUninstall", "third"}));
    EXPECT_TRUE(stagedRecords().empty());
}

TEST_F(TrackerTest, ValidationFailuresStayInTheWrapperAndRecordNothing) {
    auto tracker = config("http://127.0.0.1:9/").createTracker();
    QxContextProperties context;
    struct Case {
        const char* operation;
        std::function<void()> call;
    } cases[] = {
        {"trackClick", [&] { tracker->trackClick({}, context); }},
        {"trackClick",
         [&] { tracker->trackClick({.name = "n", .clickType = static_cast<QxClickType>(5)}, context); }},
        {"trackView", [&] { tracker->trackView({}, context); }},
        {"trackTask", [&] { tracker->trackTask({}, context); }},
        {"trackTask",
         [&] {
             tracker->trackTask({.name = "n", .result = std::make_shared<QxResult>(static_cast<QxResult>(9))},
                                context);
         }},
        {"trackFile",
         [&] {
             tracker->trackFile({.aname = "a", .io = std::make_shared<QxIoType>(static_cast<QxIoType>(2))},
                                context);
         }},
        {"trackOrder",
         [&] { tracker->trackOrder({.suitId = "s", .originalAmount = 1, .paidAmount = 1}, context); }},
        {"trackPayment", [&] { tracker->trackPayment({.orderId = "o"}, context); }},
        {"trackUpdate", [&] { tracker->trackUpdate({.op = QxUpdateOp::DownloadEnd}, context); }},
        {"trackAppOpenNotification", [&] { tracker->trackAppOpenNotification(nullptr, context); }},
    };
    const size_t before = Sdk::Queue()->size();
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        EXPECT_NO_THROW(c.call()) << c.operation;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("Failed to ") + c.operation + "\n");
    }
    EXPECT_EQ(Sdk::Queue()->size(), before);
}

TEST_F(TrackerTest, ValidationMessages) {
    UsageTrackerImpl impl(config("http://127.0.0.1:9/"));
    impl.init();
    QxContextProperties context;
    auto amount = [](float value) { return value; };
    struct Case {
        std::function<void()> call;
        std::string message;
    } cases[] = {
        {[&] { impl.trackClick({}, context); }, "qxEventClick.name is empty"},
        {[&] { impl.trackClick({.name = "n", .clickType = static_cast<QxClickType>(5)}, context); },
         "Unknown ClickType [5]!"},
        {[&] { impl.trackView({}, context); }, "qxEventView.name is empty"},
        {[&] { impl.trackCashier({}, context); }, "qxEventCashier.qx_cashier_name is empty"},
        {[&] { impl.trackTask({}, context); }, "qxEventTask.name is empty"},
        {[&] { impl.trackFile({}, context); }, "qxEventFile.aname is empty"},
        {[&] {
             impl.trackFile({.aname = "a", .io = std::make_shared<QxIoType>(static_cast<QxIoType>(2))},
                            context);
         },
         "the io type is invalid"},
        {[&] { impl.trackOrder({}, context); }, "qxEventOrder.qxSuitId is empty"},
        {[&] { impl.trackOrder({.suitId = "s"}, context); }, "qxEventOrder.qxCurrency is nullptr"},
        {[&] {
             impl.trackOrder({.suitId = "s", .currency = std::make_shared<QxCurrency>(QxCurrency::CNY)},
                             context);
         },
         "qxEventOrder.originalAmount is less than zero"},
        {[&] { impl.trackPayment({}, context); }, "qxEventPayment.qxOrderId is empty"},
        {[&] { impl.trackPayment({.orderId = "o", .paidAmount = amount(-1.5f)}, context); },
         "paidAmount = -1.500000 is invalid"},
        {[&] { impl.trackPayment({.orderId = "o", .originalAmount = -2}, context); },
         "originalAmount = -2.000000 is invalid"},
        {[&] {
             impl.trackPayment({.orderId = "o", .result = std::make_shared<QxResult>(QxResult::Cancelled)},
                               context);
         },
         "qxEventPayment.result is invalid"},
        {[&] { impl.trackUpdate({.op = static_cast<QxUpdateOp>(5)}, context); }, "Unknown QxUpdateOp [5]!"},
        {[&] { impl.trackUpdate({.op = QxUpdateOp::UpgrateEnd}, context); }, "Unknown updateResultInfo info"},
        {[&] {
             impl.trackUpdate({.op = QxUpdateOp::DownloadEnd,
                               .result = std::make_shared<QxUpdateResult>(QxUpdateResult::Success)},
                              context);
         },
         "invalid elapsed info"},
        {[&] { impl.trackAppOpenNotification(nullptr, context); }, "&appOpenNotification is nullptr"},
        {[&] {
             QxAppOpenNotification n{.msgTitle = "t", .planType = "p"};
             impl.trackAppOpenNotification(&n, context);
         },
         "planID is emptry"},
        {[&] {
             QxUserInfo user{.loginId = "u", .userType = static_cast<QxUserType>(12)};
             impl.trackLogin(user, true, "", context);
         },
         "Unknown user type [12]!"},
    };
    const size_t before = Sdk::Queue()->size();
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "nothing thrown, expected " << c.message;
        } catch (const QxException& error) {
            EXPECT_EQ(error.message(), c.message);
            EXPECT_STREQ(error.what(), c.message.c_str());
        }
    }
    EXPECT_EQ(Sdk::Queue()->size(), before);
}

TEST_F(TrackerTest, FailedInitialisationLeavesATrackerThatRecordsNothing) {
    TrackerConfig nameless = config("http://127.0.0.1:9/");
    nameless.appName.clear();
    try {
        UsageTrackerImpl(nameless).init();
        ADD_FAILURE();
    } catch (const QxException& error) {
        EXPECT_EQ(error.message(), "appName is empty");
        EXPECT_EQ(error.function(), "init");
    }
    auto tracker = nameless.createTracker();
    EXPECT_FALSE(Sdk::Exists());
    testing::internal::CaptureStdout();
    trackTask(*tracker, "t");
    tracker->trackClick({}, *std::make_unique<QxContextProperties>());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "without a log sink the wrapper says nothing";
    tracker.reset();
    EXPECT_FALSE(std::filesystem::exists(stagingFile()));

    TrackerConfig edition = config("http://127.0.0.1:9/");
    edition.edition = 2;
    try {
        UsageTrackerImpl(edition).init();
        ADD_FAILURE();
    } catch (const QxException& error) {
        EXPECT_EQ(error.message(), "Unknown edition [2]!");
    }
}

TEST_F(TrackerTest, TaskResultsAndTheLogin) {
    CollectorProcess collector;
    {
        auto tracker = config(collector.url()).createTracker();
        QxContextProperties context;
        tracker->trackTask({.name = "a", .result = std::make_shared<QxResult>(QxResult::Unknown)}, context);
        tracker->trackTask({.name = "b",
                            .elapsed = std::make_shared<float>(2.5f),
                            .result = std::make_shared<QxResult>(QxResult::Fail)},
                           context);
        tracker->trackLogin({.loginId = "user-5", .userType = QxUserType::Email, .vipLevel = 3}, true, "",
                            context);
        trackTask(*tracker, "c");
    }
    auto records = collector.records();
    ASSERT_EQ(eventNames(records), (std::vector<std::string>{"QxEventTask", "QxEventTask", "QxEventLogin",
                                                             "track_signup", "QxEventTask"}));
    EXPECT_FALSE(PropertiesOf(records[0]).isMember("qx_task_result")) << "Unknown is not sent";
    EXPECT_FALSE(PropertiesOf(records[0]).isMember("qx_task_elapsed"));
    EXPECT_EQ(PropertiesOf(records[1])["qx_task_result"].asString(), "Fail");
    EXPECT_EQ(PropertiesOf(records[1])["qx_task_elapsed"].asDouble(), 2.5);
    EXPECT_EQ(PropertiesOf(records[2])["qx_type"].asString(), "email");
    EXPECT_EQ(records[3]["original_id"].asString(), identity("Base", "PrimaryDistinctId"));
    EXPECT_EQ(records[4]["distinct_id"].asString(), "user-5");
    EXPECT_EQ(PropertiesOf(records[4])["qx_user_id"].asString(), "user-5");
    EXPECT_TRUE(PropertiesOf(records[4])["$is_login_id"].asBool());
    EXPECT_EQ(identity("Base", "isLogined"), "OK");
    EXPECT_EQ(identity("Base", "UserVipLevel"), "3");
}
