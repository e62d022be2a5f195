#include "install/Installer.h"

#include "app/config/InstallerConfig.h"
#include "install/InstallCodes.h"
#include "tests/support/ReportRecorder.h"
#include "tests/install/SamplePackage.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Extra package text for one test.
class InstCmd {
public:
    explicit InstCmd(const std::wstring& text) { InstallerConfig::Instance().m_InstCmd = text; }
    ~InstCmd() { InstallerConfig::Instance().m_InstCmd.clear(); }
};

// What the sample package reports about a successful installation into `dir`.
std::vector<Event> installFacts(const std::wstring& dir) {
    return {{IST_CODE_INSTPATH, 0.0, dir},
            {IST_CODE_EXEPATH, 0.0, dir + L"/Tovaclip.exe"},
            {IST_CODE_UNINSTEP, 0.0, dir + L"/uninst.ep"},
            {IST_CODE_STARTUPSTYLE, 2.0, L""},
            {IST_CODE_TOPSHOW, 3000.0, L""},
            {IST_CODE_FINISHCLOSE, 0.0, L""}};
}

std::vector<Event> concat(std::vector<Event> first, const std::vector<Event>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::wstring quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// Runs `package` once under `scenario` and returns the events once the worker has ended.
std::vector<Event> runPackage(const std::wstring& packagePath, const std::wstring& installDir,
                              const std::string& scenario,
                              const std::function<void(CInstaller&)>& adjust = {}) {
    ScenarioVariable variable("TOVACLIP_SAMPLE_SCENARIO", scenario);
    ReportRecorder recorder;
    {
        CInstaller installer(recorder.Callback(), packagePath, installDir, false, true, false);
        if (adjust)
            adjust(installer);
        installer.Start();
    }
    return recorder.Events();
}

std::vector<std::wstring> messages(const std::vector<Event>& events) {
    std::vector<std::wstring> texts;
    for (const Event& event : events)
        if (event.code == IST_CODE_MESSAGE)
            texts.push_back(event.text);
    return texts;
}

std::vector<Event> withoutProgress(const std::vector<Event>& events) {
    std::vector<Event> kept;
    for (const Event& event : events)
        if (event.code != IST_CODE_PROGRESS)
            kept.push_back(event);
    return kept;
}

} // namespace

TEST(InstallerCommandLine, IsOneTextAndTheSameCallAsArguments) {
    struct Case {
        std::wstring installDir;
        std::wstring language;
        std::wstring instCmd;
        std::wstring commandLine;
        std::vector<std::wstring> arguments;
    } cases[] = {
        {L"/opt/my \"apps\" /S",
         L"zh_CN",
         L"-channel=\"web site\" -x",
         L"\"/dl/Tovaclip setup.exe\" /S -console=show -version=1.0.0 -adminact=true -authorizationact=false "
         L"-dsc=true -ssc=false -inslang=\"zh_CN\" -channel=\"web site\" -x -instdir=\"/opt/my \"apps\" /S\" "
         L"/D=/opt/my \"apps\" /S",
         {L"/dl/Tovaclip setup.exe", L"/S", L"-console=show", L"-version=1.0.0", L"-adminact=true",
          L"-authorizationact=false", L"-dsc=true", L"-ssc=false", L"-inslang=zh_CN", L"-channel=web site",
          L"-x", L"-instdir=/opt/my \"apps\" /S", L"/D=/opt/my \"apps\" /S"}},
        // Empty directory and language leave their switches out.
        {L"",
         L"",
         L"",
         L"\"/dl/Tovaclip setup.exe\" /S -console=show -version=1.0.0 -adminact=true -authorizationact=false "
         L"-dsc=true -ssc=false",
         {L"/dl/Tovaclip setup.exe", L"/S", L"-console=show", L"-version=1.0.0", L"-adminact=true",
          L"-authorizationact=false", L"-dsc=true", L"-ssc=false"}},
    };
    for (const Case& c : cases) {
        InstCmd instCmd(c.instCmd);
        CInstaller installer([](int32_t, double, const wchar_t*) {}, L"\"/dl/Tovaclip setup.exe\"", L"", true,
                             false, false);
        installer.m_InstallDir = c.installDir;
        installer.m_InstallLanguage = c.language;
        installer.m_AdminAct = true;
        installer.m_AuthorizationAct = false;
        installer.m_DesktopShortcut = true;
        installer.m_QuickLaunchShortcut = false;
        EXPECT_EQ(installer.BuildCommandLine(), c.commandLine);
        EXPECT_EQ(installer.BuildArguments(), c.arguments);
    }
}

TEST(Installer, InstallsTheSampleProductAndReportsItsFacts) {
    SamplePackage package;
    fs::path dir = package.Dir() / "Tovaclip 安装";
    std::vector<Event> events;
    int32_t codePage = -1;
    events = runPackage(quoted(package.WidePath()), Wide(dir), "", [&](CInstaller& installer) {
        installer.m_InstallLanguage = L"zh_CN";
        codePage = installer.CodePage();
    });

    std::vector<Event> expected{{IST_CODE_START, 0.0, L""},    {IST_CODE_PROGRESS, 0.0, L""},
                                {IST_CODE_PROGRESS, 0.1, L""}, {IST_CODE_PROGRESS, 0.4, L""},
                                {IST_CODE_PROGRESS, 0.7, L""}, {IST_CODE_PROGRESS, 0.9, L""}};
    expected = concat(expected, installFacts(Wide(dir)));
    expected = concat(expected, {{IST_CODE_PROGRESS, 1.0, L""}, {IST_CODE_SUCCESS, 0.0, L""}});
    EXPECT_EQ(events, expected);
    EXPECT_EQ(codePage, 0) << "the system code page until the package names one";

    EXPECT_EQ(TestSupport::ReadFile(dir / "config.ini"), "[Install]\nLanguage=zh_CN\n");
    for (const char* name : {"Tovaclip.exe", "uninst.ep"}) {
        EXPECT_EQ(fs::file_size(dir / name), fs::file_size(package.Path())) << name;
        EXPECT_EQ(fs::status(dir / name).permissions() & fs::perms::owner_exec, fs::perms::owner_exec)
            << name;
    }
}

TEST(Installer, OutcomesFollowThePackagesLastWords) {
    SamplePackage package;
    struct Case {
        std::string scenario;
        std::function<std::vector<Event>(const std::wstring& dir)> expected;
    } cases[] = {
        {"fail",
         [](auto&) {
             return std::vector<Event>{{IST_CODE_FAIL, 0.0, L"安装包安装失败"}};
         }},
        {"error=磁盘已满 (disk full)",
         [](auto&) {
             return std::vector<Event>{{IST_CODE_FAIL, 1000.0, L"磁盘已满 (disk full)"}};
         }},
        // Without a final line the run counts as a success, whatever the exit code.
        {"nofinal,exitcode=3",
         [](auto& dir) {
             return concat(installFacts(dir), {{IST_CODE_SUCCESS, 1.0, L""}});
         }},
        {"crash",
         [](auto&) {
             return std::vector<Event>{{IST_CODE_SUCCESS, 1.0, L""}};
         }},
        // 1 MiB after the final line: the package can only exit if the pipe is kept empty.
        {"afterfinal",
         [](auto& dir) {
             return concat(installFacts(dir), {{IST_CODE_SUCCESS, 0.0, L""}});
         }},
        {"crlf",
         [](auto& dir) {
             return concat(installFacts(dir), {{IST_CODE_SUCCESS, 0.0, L""}});
         }},
        // Lines written in pieces, a UTF-8 character of the directory cut between two of them.
        {"split",
         [](auto& dir) {
             return concat(installFacts(dir), {{IST_CODE_SUCCESS, 0.0, L""}});
         }},
        {"flood",
         [](auto& dir) {
             return concat(installFacts(dir), {{IST_CODE_SUCCESS, 0.0, L""}});
         }},
    };
    int index = 0;
    for (const Case& c : cases) {
        fs::path dir = package.Dir() / ("安装 " + std::to_string(index++));
        std::vector<Event> events = runPackage(quoted(package.WidePath()), Wide(dir), c.scenario);
        ASSERT_GE(events.size(), 2u) << c.scenario;
        EXPECT_EQ(events[0], (Event{IST_CODE_START, 0.0, L""})) << c.scenario;
        EXPECT_EQ(events[1], (Event{IST_CODE_PROGRESS, 0.0, L""})) << c.scenario;
        EXPECT_EQ(withoutProgress(events), concat({{IST_CODE_START, 0.0, L""}}, c.expected(Wide(dir))))
            << c.scenario;
        if (c.scenario == "flood") {
            EXPECT_GT(events.size(), 20000u) << "every progress line of the flood is read";
        }
        if (c.scenario == "crlf" || c.scenario == "split") {
            EXPECT_TRUE(fs::exists(dir / "Tovaclip.exe")) << c.scenario;
        }
    }
}

TEST(Installer, CodePage936OutputIsDecodedFromTheLineAfterTheSwitch) {
    SamplePackage package;
    fs::path dir = package.Dir() / "视频转换 安装目录";
    ScenarioVariable variable("TOVACLIP_SAMPLE_SCENARIO", "cp936");
    ReportRecorder recorder;
    CInstaller installer(recorder.Callback(), quoted(package.WidePath()), Wide(dir), false, true, false);
    installer.Start();
    // Waits for the first run.
    installer.Start();
    auto successes = [&] {
        int count = 0;
        for (const Event& event : recorder.Events())
            count += event.code == IST_CODE_SUCCESS;
        return count;
    };
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return successes() == 2; }));

    std::vector<Event> once = concat({{IST_CODE_START, 0.0, L""}}, installFacts(Wide(dir)));
    once.push_back({IST_CODE_SUCCESS, 0.0, L""});
    EXPECT_EQ(withoutProgress(recorder.Events()), concat(once, once))
        << "each Start waits for the earlier run, so the runs never mix";
    EXPECT_EQ(installer.CodePage(), 936) << "kept from one run to the next";
}

TEST(Installer, EachArgumentArrivesWhole) {
    SamplePackage package;
    fs::path dir = package.Dir() / "my \"apps\" -instdir=x /D=y";
    {
        InstCmd instCmd(L"-channel=\"web site\"");
        std::vector<Event> events =
            runPackage(quoted(package.WidePath()), Wide(dir), "echoargs",
                       [](CInstaller& installer) { installer.m_InstallLanguage = L"zh_CN"; });
        std::vector<std::wstring> expected{L"/S",
                                           L"-console=show",
                                           L"-version=1.0.0",
                                           L"-adminact=false",
                                           L"-authorizationact=true",
                                           L"-dsc=true",
                                           L"-ssc=false",
                                           L"-inslang=zh_CN",
                                           L"-channel=web site",
                                           L"-instdir=" + Wide(dir),
                                           L"/D=" + Wide(dir)};
        EXPECT_EQ(messages(events), expected);
        EXPECT_EQ(events.back(), (Event{IST_CODE_SUCCESS, 0.0, L""}));
        EXPECT_TRUE(fs::exists(dir / "Tovaclip.exe"));
    }

    // Without a directory and a language, their switches are left out.
    std::vector<Event> events = runPackage(quoted(package.WidePath()), L"", "echoargs,fail");
    std::vector<std::wstring> expected = {
        L"/S",        L"-console=show", L"-version=1.0.0", L"-adminact=false", L"-authorizationact=true",
        L"-dsc=true", L"-ssc=false"};
    EXPECT_EQ(messages(events), expected);
}

TEST(Installer, StartFailuresAreReportedWithTheirValue) {
    SamplePackage package;
    const fs::path longDir = package.Dir() / std::string(250, 'd') / std::string(250, 'd');
    struct Case {
        std::wstring packagePath;
        std::wstring installDir;
        std::vector<Event> events;
    } cases[] = {
        {L"", L"/opt/x", {{IST_CODE_START, 0.0, L""}, {IST_CODE_FAIL, 1.0, L""}}},
        {quoted(Wide(package.Dir() / "missing.exe")),
         L"/opt/x",
         {{IST_CODE_START, 0.0, L""}, {IST_CODE_PROGRESS, 0.0, L""}, {IST_CODE_FAIL, 2.0, L""}}},
        // The directory stands twice on the command line: over 1023 characters, refused, never cut.
        {quoted(package.WidePath()),
         Wide(longDir),
         {{IST_CODE_START, 0.0, L""}, {IST_CODE_PROGRESS, 0.0, L""}, {IST_CODE_FAIL, 2.0, L""}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runPackage(c.packagePath, c.installDir, ""), c.events);
    EXPECT_FALSE(fs::exists(longDir.parent_path())) << "the package never started";
}

TEST(Installer, AProcessLeftHoldingTheOutputDoesNotHoldUpTheRun) {
    TestSupport::TempDir dir;
    struct Case {
        const char* lastWords;
        Event last;
    } cases[] = {
        {"echo State=Success", {IST_CODE_SUCCESS, 0.0, L""}},
        {"", {IST_CODE_SUCCESS, 1.0, L""}},
    };
    for (const Case& c : cases) {
        // The package starts a process that inherits its output and outlives it.
        fs::path script = dir.path() / "package.sh";
        TestSupport::WriteFile(script,
                               std::string("#!/bin/sh\nsleep 30 &\necho Message=$!\n") + c.lastWords + "\n");
        std::vector<Event> events = runPackage(quoted(Wide(script)), L"", "");
        ASSERT_EQ(messages(events).size(), 1u);
        pid_t leftOver = std::stoi(messages(events)[0]);
        EXPECT_EQ(kill(leftOver, 0), 0) << "the run ended while the left-over process still ran";
        kill(leftOver, SIGKILL);
        EXPECT_EQ(events.back(), c.last);
    }
}
