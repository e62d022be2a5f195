#include "install/UnInstaller.h"

#include "install/InstallCodes.h"
#include "tests/support/ReportRecorder.h"
#include "tests/install/SamplePackage.h"
#include "utils/Privileges.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const char* const kInstalledFiles[] = {"Tovaclip.exe", "config.ini", "uninst.ep", "set.ini"};

// An earlier installation in a directory with a blank, and the installer's copy of its uninstaller.
class EarlierInstallation {
public:
    EarlierInstallation() : m_Dir(m_Uninstaller.Dir() / "earlier Tovaclip") {
        fs::create_directories(m_Dir);
        for (const char* name : kInstalledFiles)
            TestSupport::WriteFile(m_Dir / name, "installed\n");
    }

    std::wstring Uninstaller() const { return m_Uninstaller.WidePath(); }
    const fs::path& Dir() const { return m_Dir; }

    int FilesLeft() const {
        int left = 0;
        for (const char* name : kInstalledFiles)
            left += fs::exists(m_Dir / name);
        return left;
    }

private:
    SamplePackage m_Uninstaller{"Tovaclip_un_asa.exe"};
    fs::path m_Dir;
};

std::vector<Event> runUninstaller(const std::wstring& path, const std::wstring& dir,
                                  const std::string& scenario, std::wstring* commandLine = nullptr) {
    ScenarioVariable variable("TOVACLIP_SAMPLE_UNINSTALL_SCENARIO", scenario);
    ReportRecorder recorder;
    {
        CUnInstaller uninstaller(recorder.Callback(), path, dir);
        uninstaller.Start();
        if (commandLine)
            *commandLine = uninstaller.CommandLine();
    }
    return recorder.Events();
}

const wchar_t* boolText(bool value) {
    return value ? L"true" : L"false";
}

} // namespace

TEST(UnInstaller, RunsTheUninstallerWhichRemovesTheInstallation) {
    EarlierInstallation earlier;
    std::wstring commandLine;
    std::vector<Event> events = runUninstaller(earlier.Uninstaller(), Wide(earlier.Dir()), "", &commandLine);

    std::vector<Event> expected{{UNIST_CODE_PROGRESS, 0.0, L""},
                                {UNIST_CODE_PROGRESS, 0.5, L""},
                                {UNIST_CODE_PROGRESS, 1.0, L""},
                                {UNIST_CODE_SUCCESS, 0.0, L""}};
    EXPECT_EQ(events, expected);
    EXPECT_EQ(earlier.FilesLeft(), 0) << "\"_?=\" reached the uninstaller whole, blank and all";
    EXPECT_TRUE(fs::is_directory(earlier.Dir()));

    std::wstring user;
    bool adminAct = Utils::GetConsoleUserName(user) && Utils::IsAdminAccount(user);
    EXPECT_EQ(commandLine, earlier.Uninstaller() + L" /S -adminact=" + boolText(adminAct) +
                               L" -authorizationact=" + boolText(Utils::IsAdministrator()) +
                               L" -console=show _?=" + Wide(earlier.Dir()));
}

TEST(UnInstaller, OutcomesFollowTheUninstallersWords) {
    const Event started{UNIST_CODE_PROGRESS, 0.0, L""};
    const Event half{UNIST_CODE_PROGRESS, 0.5, L""};
    const Event failed{UNIST_CODE_ERROR, 0.0, L"安装包卸载失败"};
    struct Case {
        std::string scenario;
        std::vector<Event> events;
        int filesLeft;
    } cases[] = {
        {"fail", {started, half, failed}, 4},
        // Reported at once, and no success follows when it exits.
        {"linger", {started, half, failed}, 4},
        {"nofinal", {started, half, {UNIST_CODE_PROGRESS, 1.0, L""}, {UNIST_CODE_SUCCESS, 1.0, L""}}, 0},
    };
    for (const Case& c : cases) {
        EarlierInstallation earlier;
        EXPECT_EQ(runUninstaller(earlier.Uninstaller(), Wide(earlier.Dir()), c.scenario), c.events)
            << c.scenario;
        EXPECT_EQ(earlier.FilesLeft(), c.filesLeft) << c.scenario;
        if (c.scenario == "linger") {
            EXPECT_TRUE(fs::exists(earlier.Dir() / "uninstaller-ended"))
                << "the run ended before the uninstaller";
        }
    }
}

TEST(UnInstaller, StartFailures) {
    EarlierInstallation earlier;
    EXPECT_EQ(runUninstaller(Wide(earlier.Dir() / "missing_un_.exe"), Wide(earlier.Dir()), ""),
              (std::vector<Event>{{UNIST_CODE_FAIL, 1.0, L"可执行卸载文件不存在"}}));
    // Over 1023 characters: refused, never cut.
    EXPECT_EQ(runUninstaller(earlier.Uninstaller(), Wide(earlier.Dir() / std::string(1000, 'd')), ""),
              (std::vector<Event>{{UNIST_CODE_PROGRESS, 0.0, L""}, {UNIST_CODE_FAIL, 2.0, L""}}));
    EXPECT_EQ(earlier.FilesLeft(), 4);
}
