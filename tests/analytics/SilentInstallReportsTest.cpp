#include "tests/analytics/CollectorProcess.h"
#include "tests/analytics/TrackerFixture.h"
#include "tests/support/SilentMachine.h"

#include <gtest/gtest.h>

// A silent installation reports the user's path exactly as the window would.
TEST(SilentInstallReports, TheInstallationsPathReachesTheCollector) {
    CollectorProcess collector;
    TestSupport::SilentMachine machine;
    auto run = machine.install("", "-isenableappanalytics=true -analyticsurl=" + collector.url());
    ASSERT_EQ(run.status, 0) << run.output;

    std::vector<std::string> seen;
    for (const Json::Value& record : collector.records()) {
        const Json::Value& properties = PropertiesOf(record);
        EXPECT_EQ(properties["qxc_ab"].asString(), "IN") << record.toStyledString();
        EXPECT_EQ(properties["$os"].asString(), "Linux");
        EXPECT_EQ(properties["qx_sdk"].asString(), "LinuxCPP");
        std::string event = record["event"].asString();
        seen.push_back(event == "QxEventTask" ? properties["qx_task_name"].asString()
                                              : event + ":" + properties["qx_name"].asString());
    }
    std::vector<std::string> expected = {"立即安装",     "QxEventView:安装中", "下载器启动",
                                         "开始下载大包", "大包下载完毕",       "安装成功"};
    std::vector<std::string> path;
    for (const std::string& name : seen)
        if (name != "QxEventClick:立即安装")
            path.push_back(name);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "QxEventClick:立即安装"), 1);
    EXPECT_EQ(path, std::vector<std::string>(expected.begin() + 1, expected.end()));
}

// Records of a run that could not reach the collector are staged and sent by the next run.
TEST(SilentInstallReports, ARunWithTheCollectorDownIsDeliveredByTheNextRun) {
    TestSupport::SilentMachine machine;
    CollectorProcess collector;
    std::string url = collector.url();
    collector.stop();
    ASSERT_EQ(machine.install("", "-isenableappanalytics=true -analyticsurl=" + url).status, 0);

    CollectorProcess restarted;
    ASSERT_EQ(machine.install("", "-isenableappanalytics=true -analyticsurl=" + restarted.url()).status, 0);
    int successes = 0;
    for (const Json::Value& record : restarted.records())
        successes += PropertiesOf(record)["qx_task_name"].asString() == "安装成功";
    EXPECT_EQ(successes, 2);
}
