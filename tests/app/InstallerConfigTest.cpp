#include "app/config/InstallerConfig.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using TestSupport::TempDir;

namespace {

// A settings record for an installer at <dir>/TovaclipSetup, with `settings` as its settings file
// (none when null).
InstallerConfig configWith(const TempDir& dir, const char* settings) {
    if (settings)
        TestSupport::WriteFile(dir.path() / "QuxinInstallerConfig.ini", settings);
    return InstallerConfig(dir.wide() + L"/TovaclipSetup");
}

} // namespace

TEST(InstallerConfig, DefaultsWithoutSettingsFile) {
    TempDir dir;
    InstallerConfig config = configWith(dir, nullptr);
    EXPECT_EQ(config.m_ExeName, L"TovaclipSetup");
    EXPECT_EQ(config.m_DownloadUrl, kDefaultDownloadUrl);
    EXPECT_EQ(config.m_DownloadType, 1);
    EXPECT_FALSE(config.m_IsCheckNet);
    EXPECT_TRUE(config.m_IsEnableAppAnalytics);
    EXPECT_EQ(config.m_DownloadScale, 0.7);
    EXPECT_EQ(config.m_DlAppNameSuffix, L".downloader");
    EXPECT_EQ(config.m_LanguageIndex, -1);
    EXPECT_FALSE(config.m_InsNew);
    EXPECT_TRUE(config.m_HttpReady);
}

TEST(InstallerConfig, SettingsFileCases) {
    struct Case {
        const char* name;
        const char* file;
        int type;
        bool checkNet, analytics;
        double scale;
        std::wstring url;
    } cases[] = {
        {"empty section turns the checks on", "[Install]\n", 1, true, true, 0.7, kDefaultDownloadUrl},
        {"no section at all", "; nothing\n", 1, true, true, 0.7, kDefaultDownloadUrl},
        {"True is not true", "[Install]\nIsCheckNet=True\nIsEnableAppAnalytics=false\n", 1, false, false, 0.7,
         kDefaultDownloadUrl},
        {"scale abc is 0", "[Install]\nDownloadScale=abc\n", 1, true, true, 0.0, kDefaultDownloadUrl},
        {"scale 0.5x is 0.5", "[Install]\nDownloadScale= 0.5x\n", 1, true, true, 0.5, kDefaultDownloadUrl},
        {"scale out of range keeps 0.7", "[Install]\nDownloadScale=1e999\n", 1, true, true, 0.7,
         kDefaultDownloadUrl},
        {"type digits", "[install]\ndownloadtype=3\n", 3, true, true, 0.7, kDefaultDownloadUrl},
        {"type without digits is 0", "[Install]\nDownloadType=x\n", 0, true, true, 0.7, kDefaultDownloadUrl},
        {"type out of range keeps 1", "[Install]\nDownloadType=99999999999\n", 1, true, true, 0.7,
         kDefaultDownloadUrl},
        {"BOM and CRLF", "\xEF\xBB\xBF[Install]\r\nDownloadType=2\r\nDownloadUrl=http://h/a\r\n", 2, true,
         true, 0.7, L"http://h/a"},
        {"invalid UTF-8 is read with replacement characters", "[Install]\nDownloadUrl=http://h/\xFF\n", 1,
         true, true, 0.7, L"http://h/\uFFFD"},
        {"route replaced twice", "[Install]\nDownloadUrl=http://h/${ROUTE}/x/${ROUTE}\n", 1, true, true, 0.7,
         L"http://h/download_silent/x/download_silent"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        InstallerConfig config = configWith(dir, c.file);
        EXPECT_EQ(config.m_DownloadType, c.type) << c.name;
        EXPECT_EQ(config.m_IsCheckNet, c.checkNet) << c.name;
        EXPECT_EQ(config.m_IsEnableAppAnalytics, c.analytics) << c.name;
        EXPECT_EQ(config.m_DownloadScale, c.scale) << c.name;
        EXPECT_EQ(config.m_DownloadUrl, c.url) << c.name;
    }
}

TEST(InstallerConfig, SettingsStringsAreCutTo259Characters) {
    TempDir dir;
    std::string file =
        "[Install]\nInstCmd=" + std::string(300, 'a') + "\nDlAppNameSuffix=.x\nm_DlAppVersion=2.0\n";
    InstallerConfig config = configWith(dir, file.c_str());
    EXPECT_EQ(config.m_InstCmd, std::wstring(259, L'a'));
    EXPECT_EQ(config.m_DlAppNameSuffix, L".x");
    EXPECT_EQ(config.m_DlAppVersion, L"2.0");
}

TEST(InstallerConfig, CommandLineCases) {
    struct Case {
        const char* name;
        std::vector<std::wstring> arguments;
        int type, language;
        double scale;
        bool insNew;
    } cases[] = {
        {"nothing given", {L"/p/TovaclipSetup"}, 1, -1, 0.7, false},
        {"first occurrence wins", {L"p", L"-downloadtype=2", L"-downloadtype=3"}, 2, -1, 0.7, false},
        {"language 3", {L"p", L"-language=3"}, 1, 3, 0.7, false},
        {"language x is the first", {L"p", L"-language=x"}, 1, 0, 0.7, false},
        {"language out of range kept", {L"p", L"-language=4294967296"}, 1, -1, 0.7, false},
        {"negative type", {L"p", L"-downloadtype=-1"}, -1, -1, 0.7, false},
        {"insnew alone is false", {L"p", L"-insnew"}, 1, -1, 0.7, false},
        {"insnew true", {L"p", L"-insnew=true"}, 1, -1, 0.7, true},
        {"insnew TRUE is false", {L"p", L"-insnew=TRUE"}, 1, -1, 0.7, false},
        {"options are case-sensitive", {L"p", L"-DownloadType=3"}, 1, -1, 0.7, false},
        {"scale", {L"p", L"-downloadscale=0.25"}, 1, -1, 0.25, false},
        {"scale without a number keeps the share", {L"p", L"-downloadscale=half"}, 1, -1, 0.7, false},
        {"scale nan keeps the share", {L"p", L"-downloadscale=nan"}, 1, -1, 0.7, false},
        {"value with equals signs", {L"p", L"-downloadtype=3=4"}, 3, -1, 0.7, false},
        {"empty and odd arguments", {L"", L"-", L"=", L"-=x", L"--downloadtype=2"}, 1, -1, 0.7, false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        InstallerConfig config = configWith(dir, nullptr);
        config.ApplyArguments(c.arguments);
        EXPECT_EQ(config.m_DownloadType, c.type) << c.name;
        EXPECT_EQ(config.m_LanguageIndex, c.language) << c.name;
        EXPECT_EQ(config.m_DownloadScale, c.scale) << c.name;
        EXPECT_EQ(config.m_InsNew, c.insNew) << c.name;
    }
}

TEST(InstallerConfig, CommandLineOverridesTheSettingsFile) {
    TempDir dir;
    InstallerConfig config =
        configWith(dir, "[Install]\nDownloadUrl=http://file/x\nIsCheckNet=true\nInstCmd=/a\n");
    config.ApplyArguments({L"p", L"-downloadurl", L"-ischecknet=yes", L"-instcmd=/b c",
                           L"-isenableappanalytics=1", L"-dlappnamesuffix=.s", L"-dlappversion=9"});
    EXPECT_EQ(config.m_DownloadUrl, L""); // a bare -downloadurl empties the address
    EXPECT_FALSE(config.m_IsCheckNet);
    EXPECT_FALSE(config.m_IsEnableAppAnalytics);
    EXPECT_EQ(config.m_InstCmd, L"/b c");
    EXPECT_EQ(config.m_DlAppNameSuffix, L".s");
    EXPECT_EQ(config.m_DlAppVersion, L"9");
    EXPECT_FALSE(config.m_Silent);
    config.ApplyArguments({L"p", L"-downloadurl=http://h/${ROUTE}.exe", L"-silent=true"});
    EXPECT_TRUE(config.m_Silent);
    EXPECT_EQ(config.m_DownloadUrl, L"http://h/download_silent.exe");
}
