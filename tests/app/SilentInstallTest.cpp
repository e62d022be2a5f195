#include "tests/support/DownloadServer.h"
#include "tests/support/TestSupport.h"

#include "platform/ProfileFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace fs = std::filesystem;

namespace {

// A user's machine for silent installations: its own home, temporary, runtime and program folders,
// and a download server offering the sample package in its digest folder.
class SilentMachine {
public:
    SilentMachine() {
        for (const char* folder : {"home", "tmp", "run", "programs", "public", "www"})
            fs::create_directories(m_Root.path() / folder);
        fs::copy_file(TestSupport::BinPath("tovaclip-sample-package"), m_Root.path() / "www" / "setup.exe");
        m_Server = std::make_unique<TestSupport::DownloadServer>(m_Root.path() / "www");
    }

    TestSupport::DownloadServer& server() { return *m_Server; }
    fs::path installDir() const { return m_Root.path() / "programs" / "Tovaclip"; }
    std::string url() const { return m_Server->url("/redirect/1/setup.exe"); }

    // Runs the installer silently with `environment` (e.g. "TOVACLIP_SAMPLE_SCENARIO=fail") added.
    TestSupport::CommandResult install(const std::string& environment = "", const std::string& options = "") {
        const fs::path& r = m_Root.path();
        std::string command = "env HOME=" + (r / "home").string() + " TMPDIR=" + m_TempDir +
                              " XDG_RUNTIME_DIR=" + (r / "run").string() +
                              " XDG_CONFIG_HOME=" + (r / "home" / ".config").string() +
                              " XDG_DATA_HOME=" + (r / "home" / ".local/share").string() +
                              " PROGRAMFILES=" + (r / "programs").string() + " PUBLIC=" + (r / "public").string() +
                              " " + environment + " " + TestSupport::BinPath("TovaclipSetup").string() +
                              " -silent=true -isenableappanalytics=false -downloadurl=" + url() + " " + options +
                              " 2>/dev/null";
        return TestSupport::RunCommand(command);
    }

    void setTempDir(const fs::path& path) { m_TempDir = path.string(); }

    std::string registryValue(const std::wstring& name) const {
        auto file = m_Root.path() / "home/.config/registry/HKEY_CURRENT_USER/Software/QuXinSoft/Tovaclip/values.ini";
        return fs::path(Platform::GetProfileString(L"values", name, L"", file.wstring(), 4096)).string();
    }
    std::string handOver(const std::wstring& section, const std::wstring& key) const {
        auto file = installDir() / "set.ini";
        return fs::path(Platform::GetProfileString(section, key, L"", file.wstring(), 4096)).string();
    }

private:
    TestSupport::TempDir m_Root;
    std::string m_TempDir{(m_Root.path() / "tmp").string()};
    std::unique_ptr<TestSupport::DownloadServer> m_Server;
};

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
    SilentMachine machine;
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
    SilentMachine machine;
    ASSERT_EQ(machine.install().status, 0);
    Platform::WriteProfileString(L"Uninstall", L"IsOverride", L"false", (machine.installDir() / "set.ini").wstring());
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
        SilentMachine machine;
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
        SilentMachine machine;
        auto run = machine.install("'TOVACLIP_SAMPLE_SCENARIO=" + c.scenario + "'");
        EXPECT_EQ(run.status, c.status) << c.scenario << "\n" << run.output;
        EXPECT_NE(run.output.find("\n" + c.finalLine + "\n"), std::string::npos) << c.scenario << "\n" << run.output;
        EXPECT_FALSE(fs::exists(machine.installDir() / "__Package_Tovaclip.exe")) << c.scenario;
    }
}

TEST(SilentInstall, DownloadFailureEndsTheRun) {
    SilentMachine machine;
    machine.server().setFault("/redirect/1/setup.exe", "status=404");
    auto run = machine.install("", "-downloadtype=2");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(contains(codes(run.output), "1004"));
    EXPECT_FALSE(fs::exists(machine.installDir() / "__Package_Tovaclip.exe"));
}
