// The installer's four reporting functions with the tracker behind them, the crash reports, and the
// tracker's start in the installer's entry point.
#include "analytics/tracker/InstallerReports.h"
#include "analytics/tracker/UsageTrackerWrapper.h"
#include "app/config/InstallerConfig.h"
#include "platform/CrashHandler.h"
#include "tests/analytics/TrackerFixture.h"

#include <csignal>

using namespace quxin::tracking;

namespace {

const ReportProperties kInstall = {{L"AB", L"IN"}};

// Installs a tracker as the installer does, for the life of this object.
class InstalledTracker {
public:
    explicit InstalledTracker(const TrackerConfig& config) {
        SetReportSink(std::make_shared<InstallerReports>(config.createTracker(), L"IN"));
    }
    ~InstalledTracker() { SetReportSink(nullptr); }
};

} // namespace

TEST_F(TrackerTest, InstallerReportsCarryTheLabelAndTheirFixedValues) {
    CollectorProcess collector;
    {
        InstalledTracker tracker(config(collector.url()));
        ReportTask(L"下载器启动", L"", 0.0, kInstall);
        ReportTask(L"大包下载完毕", L"", 12.5, kInstall);
        ReportTask(L"下载失败原因", L":1.code=3；2.msg=x", 0.0, kInstall);
        ReportClick(kInstall, L"立即安装");
        ReportView(kInstall);
        ReportTask(L"无标签", L"", 0.0, {});
        ReportTask(L"坏标签", L"", 0.0, {{L"AB", L"in"}}); // refused: the report is dropped, nothing escapes
    }
    auto records = collector.records();
    ASSERT_EQ(records.size(), 6u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(PropertiesOf(records[i])["qxc_ab"].asString(), "IN") << i;
    EXPECT_FALSE(PropertiesOf(records[5]).isMember("qxc_ab"));

    const Json::Value& started = PropertiesOf(records[0]);
    EXPECT_EQ(records[0]["event"].asString(), "QxEventTask");
    EXPECT_EQ(started["qx_task_name"].asString(), "下载器启动");
    EXPECT_EQ(started["qx_task_result"].asString(), "Success");
    EXPECT_TRUE(started["qx_task_elapsed"].isNumeric() && started["qx_task_elapsed"].asDouble() == 0.0);
    EXPECT_FALSE(started.isMember("qx_reason")) << "an empty reason is left out";
    EXPECT_FALSE(started.isMember("qx_aname"));
    EXPECT_TRUE(started["$is_first_time"].asBool());
    EXPECT_EQ(PropertiesOf(records[1])["qx_task_elapsed"].asDouble(), 12.5);
    EXPECT_EQ(PropertiesOf(records[2])["qx_reason"].asString(), ":1.code=3；2.msg=x");

    EXPECT_EQ(records[3]["event"].asString(), "QxEventClick");
    EXPECT_EQ(PropertiesOf(records[3])["qx_name"].asString(), "立即安装");
    EXPECT_EQ(PropertiesOf(records[3])["qx_click_type"].asString(), "Button");
    EXPECT_EQ(records[4]["event"].asString(), "QxEventView");
    EXPECT_EQ(PropertiesOf(records[4])["qx_name"].asString(), "安装中");
}

TEST_F(TrackerTest, ReportsWithoutATrackerGoNowhere) {
    ASSERT_FALSE(HasReportSink());
    ReportTask(L"t", L"", 0.0, kInstall);
    ReportClick(kInstall, L"c");
    ReportView(kInstall);
    ReportCrash();
    EXPECT_FALSE(std::filesystem::exists(dataFolder()));
}

TEST_F(TrackerTest, TheInstallerFillsTheTrackerFromItsSettings) {
    CollectorProcess collector;
    InstallerConfig settings(m_Dir.wide() + L"/TovaclipSetup");
    settings.m_AnalyticsUrl = Platform::FromUtf8(collector.url());
    settings.m_DlAppVersion = L"2.0.1";
    StartInstallerTracker(settings);
    ReportTask(L"安装成功", L"", 3.0, kInstall);
    ReleaseInstallerTracker();
    EXPECT_FALSE(HasReportSink());
    auto records = collector.records();
    ASSERT_EQ(records.size(), 1u);
    const Json::Value& p = PropertiesOf(records[0]);
    EXPECT_EQ(p["$app_id"].asString(), "Tovaclip.downloader");
    EXPECT_EQ(p["$app_version"].asString(), "1.7.9");
    EXPECT_EQ(p["qx_app_store"].asString(), "TovaclipSetup");
    EXPECT_EQ(p["qx_dlapp_id"].asString(), "Tovaclip");
    EXPECT_EQ(p["qx_dlapp_version"].asString(), "2.0.1");
}

// A crashing installer sends nothing; it leaves what was queued and its crash reports in the staging
// file, and the next run sends them.
TEST_F(TrackerTest, CrashReportsAreLeftForTheNextRun) {
    GTEST_FLAG_SET(death_test_style, "fast"); // the child must see this test's folders
    const std::string closedUrl = "http://127.0.0.1:9/collect?project=pc";
    EXPECT_EXIT(
        {
            InstalledTracker tracker(config(closedUrl));
            Platform::InstallCrashHandler(ReportCrash);
            ReportTask(L"开始下载大包", L"", 0.0, kInstall);
            raise(SIGSEGV);
        },
        testing::KilledBySignal(SIGSEGV), "");
    auto staged = stagedRecords();
    ASSERT_EQ(staged.size(), 3u);
    std::vector<Json::Value> records;
    for (const std::string& line : staged)
        records.push_back(ParseJson(line));
    EXPECT_EQ(PropertiesOf(records[0])["qx_task_name"].asString(), "开始下载大包");
    EXPECT_EQ(PropertiesOf(records[1])["qx_task_name"].asString(), "崩溃退出");
    EXPECT_EQ(PropertiesOf(records[1])["qxc_ab"].asString(), "IN");
    EXPECT_EQ(PropertiesOf(records[1])["qx_task_result"].asString(), "Success");
    EXPECT_EQ(records[2]["event"].asString(), "AppCrashed");
    EXPECT_EQ(PropertiesOf(records[2])["app_crashed_reason"].asString(), "崩溃");
    EXPECT_FALSE(PropertiesOf(records[2]).isMember("qxc_ab"));
    for (const Json::Value& record : records) {
        EXPECT_GT(record["time"].asInt64(), 1'600'000'000'000) << "the crash time, filled in when written";
        EXPECT_GT(record["_track_id"].asInt64(), 0);
        EXPECT_EQ(PropertiesOf(record)["qx_sdk"].asString(), "LinuxCPP");
    }

    CollectorProcess collector;
    {
        InstalledTracker tracker(config(collector.url()));
        ReportTask(L"下载器启动", L"", 0.0, kInstall);
    }
    auto sent = collector.recordLines();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 3), staged);
}

TEST_F(TrackerTest, EntryPointStartsTheTrackerWithTheCollectorOfTheCommandLine) {
    const std::string url = "http://127.0.0.1:9/collect?project=pc&from=option";
    // Without a display the installer stops at its window, after the tracker started.
    auto run = TestSupport::RunCommand("env -u DISPLAY " + TestSupport::BinPath("TovaclipSetup").string() +
                                       " '-analyticsurl=" + url + "' -isenableappanalytics=false 2>&1");
    EXPECT_EQ(run.status, 1) << run.output;
    // Options other than the collector are applied after the tracker started: it exists all the same.
    EXPECT_EQ(identity("Base", "URL"), url);
    EXPECT_EQ(identity("UninstallInfo", "AppStore"), "TovaclipSetup");
}
