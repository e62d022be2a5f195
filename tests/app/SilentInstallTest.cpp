#include "tests/support/SilentMachine.h"
#include "tests/support/TestSupport.h"

#include "platform/ProfileFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace fs = std::filesystem;

namespace {

// The event codes a run printed, in order, without progress lines.
std::vector<std::string> codes(const std::string& output) {
    std::vector<std::string> result;
    std::regex line("^([0-9]+|MESSAGE)\t([^\t]*)\t(.*)$");
    std::istringstream in(output);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (std::regex_match(text, m, line) && m[1] != "1002" && m[1] != "2002" && m[1] != "5002")
            result.push_back(m[1] == "MESSAGE" ? "MESSAGE " + m[3].str() : m[1].str());
    }
    return result;
}

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

} // namespace

TEST(SilentInstall, FreshInstallationThenUpdate) {
    TestSupport::SilentMachine machine;
    auto first = machine.install();
    ASSERT_EQ(first.status, 0) << first.output;
    auto events = codes(first.output);
    EXPECT_EQ(events.front(), "1001");
    EXPECT_TRUE(contains(events, "2003"));
    EXPECT_FALSE(contains(events, "5003")); // nothing to uninstall yet
    EXPECT_TRUE(fs::exists(machine.installDir() / "Tovaclip.exe"));
    EXPECT_FALSE(fs::exists(machine.installDir() / "__Package_Tovaclip.exe"));
    EXPECT_EQ(machine.registryValue(L"InstallPath"), machine.installDir().string());
    EXPECT_EQ(machine.registryValue(L"UnInstallEp"), (machine.installDir() / "uninst.ep").string());
    EXPECT_EQ(machine.handOver(L"Install", L"AppName"), "Tovaclip");
    EXPECT_EQ(machine.handOver(L"Install", L"APPStore"), "TovaclipSetup");
    std::string firstDevice = machine.handOver(L"Install", L"DeviceID");
    EXPECT_EQ(firstDevice.size(), 32u);

    // An update: the earlier installation's uninstaller runs first, then download and install.
    auto second = machine.install();
    ASSERT_EQ(second.status, 0) << second.output;
    events = codes(second.output);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "5003");
    EXPECT_EQ(events[1], "1001");
    EXPECT_TRUE(contains(events, "2003"));
    EXPECT_TRUE(fs::exists(machine.installDir() / "Tovaclip.exe"));
    EXPECT_NE(machine.handOver(L"Install", L"DeviceID"), firstDevice);
}

TEST(SilentInstall, EarlierInstallationKeptWhenItAllowsOverride) {
    TestSupport::SilentMachine machine;
    ASSERT_EQ(machine.install().status, 0);
    Platform::WriteProfileString(L"Uninstall", L"IsOverride", L"false",
                                 (machine.installDir() / "set.ini").wstring());
    auto run = machine.install();
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(contains(codes(run.output), "5003"));
    EXPECT_TRUE(contains(codes(run.output), "2003"));
}

TEST(SilentInstall, UninstallerFailuresStopThePipeline) {
    const std::string running = "MESSAGE 安装程序检测到Tovaclip\\r\\n正在运行，请退出程序后再安装";
    struct Case {
        const char* name;
        std::string environment;
        bool tempDirIsAFile;
        std::string failure;
    } cases[] = {
        {"uninstaller reports failure", "TOVACLIP_SAMPLE_UNINSTALL_SCENARIO=fail", false, "5005"},
        {"uninstaller cannot be copied", "", true, "5004"},
    };
    for (const auto& c : cases) {
        TestSupport::SilentMachine machine;
        ASSERT_EQ(machine.install().status, 0);
        TestSupport::TempDir blocked;
        if (c.tempDirIsAFile) {
            TestSupport::WriteFile(blocked.path() / "file", "x");
            machine.setTempDir(blocked.path() / "file");
        }
        auto run = machine.install(c.environment);
        EXPECT_EQ(run.status, 2) << c.name;
        auto events = codes(run.output);
        EXPECT_TRUE(contains(events, c.failure)) << c.name << "\n" << run.output;
        EXPECT_TRUE(contains(events, running)) << c.name;
        EXPECT_FALSE(contains(events, "1001")) << c.name;
    }
}

TEST(SilentInstall, PackageOutcomes) {
    struct Case {
        std::string scenario;
        int status;
        std::string finalLine;
    } cases[] = {
        {"fail", 2, "2004\t0\t安装包安装失败"},
        {"error=disk full", 2, "2004\t1000\tdisk full"},
        {"nofinal", 0, "2003\t1\t"},
    };
    for (const auto& c : cases) {
        TestSupport::SilentMachine machine;
        auto run = machine.install("'TOVACLIP_SAMPLE_SCENARIO=" + c.scenario + "'");
        EXPECT_EQ(run.status, c.status) << c.scenario << "\n" << run.output;
        EXPECT_NE(run.output.find("\n" + c.finalLine + "\n"), std::string::npos) << c.scenario << "\n"
                                                                                 << run.output;
        EXPECT_FALSE(fs::exists(machine.installDir() / "__Package_Tovaclip.exe")) << c.scenario;
    }
}

TEST(SilentInstall, DownloadFailureEndsTheRun) {
    TestSupport::SilentMachine machine;
    machine.server().setFault("/redirect/1/setup.exe", "status=404");
    auto run = machine.install("", "-downloadtype=2");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(contains(codes(run.output), "1004"));
    EXPECT_FALSE(fs::exists(machine.installDir() / "__Package_Tovaclip.exe"));
}
