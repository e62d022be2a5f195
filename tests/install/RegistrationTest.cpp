#include "install/Registration.h"

#include "install/EarlierInstallation.h"
#include "install/InstallCodes.h"
#include "install/InstallDirectory.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <sys/stat.h>

using TestSupport::ReadFile;
using TestSupport::TempDir;
using TestSupport::WaitUntil;
using TestSupport::WriteFile;

namespace {

class RegistrationTest : public testing::Test {
protected:
    void SetUp() override {
        m_Environment.Set("XDG_CONFIG_HOME", path("config"));
        m_Environment.Set("APPDATA", path("appdata"));
        m_Environment.Set("PUBLIC", path("public"));
    }

    std::string path(const std::string& relative) const { return (m_Root.path() / relative).string(); }
    static std::wstring wide(const std::string& text) { return Platform::FromUtf8(text); }

    std::wstring installValue(const wchar_t* key, const std::string& directory) const {
        return Platform::GetProfileString(L"Install", key, L"<absent>", wide(directory + "/set.ini"), 1024);
    }

    // A program that records its working directory in "marker" beside itself.
    std::string product(const std::string& folder) const {
        std::filesystem::create_directories(folder);
        std::string program = folder + "/Tovaclip.exe";
        WriteFile(program, "#!/bin/sh\npwd > marker.tmp && mv marker.tmp marker\n");
        chmod(program.c_str(), 0755);
        return program;
    }

    TempDir m_Root;
    ScopedEnvironment m_Environment;
};

std::optional<std::wstring> registryValue(const wchar_t* name) {
    auto key = Platform::RegistryKey::OpenCurrentUser(kProductRegistryKey, false);
    return key ? key->GetString(name) : std::nullopt;
}

} // namespace

TEST_F(RegistrationTest, ValuesFollowTheInstallFacts) {
    PostInstallValues values{.InstallDir = L"/chosen/Tovaclip"};
    EXPECT_EQ(values.StartupStyle, kNonStartup);
    EXPECT_EQ(values.TopShowDelay, 3000u);
    EXPECT_EQ(values.FinishCloseDelay, 4294967295u);

    struct Event {
        int32_t code;
        double value;
        std::wstring text;
        bool kept;
    };
    const Event events[] = {
        {IST_CODE_INSTPATH, 0, L"/pkg/Tovaclip\r", true},
        {IST_CODE_INSTPATH, 0, L"", false},
        {IST_CODE_EXEPATH, 0, L"/pkg/Tovaclip/Tovaclip.exe\r", true},
        {IST_CODE_UNINSTEXE, 0, L"/pkg/Tovaclip/other", false},
        {IST_CODE_UNINSTEP, 0, L"/pkg/Tovaclip/uninst.ep", true},
        {IST_CODE_STARTURL, 0, L"https://tovaclip.example/welcome", true},
        {IST_CODE_STARTUPSTYLE, 1.0, L"", true},
        {IST_CODE_TOPSHOW, 0.0, L"", true},
        {IST_CODE_FINISHCLOSE, 10000.0, L"", true},
        {IST_CODE_MESSAGE, 0, L"消息", false},
        {IST_CODE_SUCCESS, 0, L"", false},
    };
    for (const Event& e : events)
        EXPECT_EQ(values.Apply(e.code, e.value, e.text), e.kept) << e.code;
    EXPECT_EQ(values.InstallDir, L"/pkg/Tovaclip");
    EXPECT_EQ(values.ProductExecutable, L"/pkg/Tovaclip/Tovaclip.exe");
    EXPECT_EQ(values.RegisteredUninstaller, L"/pkg/Tovaclip/uninst.ep");
    EXPECT_EQ(values.StartPage, L"https://tovaclip.example/welcome");
    EXPECT_EQ(values.StartupStyle, kAutoStartup);
    EXPECT_EQ(values.TopShowDelay, 0u);
    EXPECT_EQ(values.FinishCloseDelay, 10000u);

    // Numbers outside the fields' ranges are clamped, not wrapped.
    struct Number {
        int32_t code;
        double value;
        int64_t expected;
    };
    const Number numbers[] = {
        {IST_CODE_STARTUPSTYLE, 2.9, 2},          {IST_CODE_STARTUPSTYLE, -1.0, -1},
        {IST_CODE_STARTUPSTYLE, 1e12, INT32_MAX}, {IST_CODE_TOPSHOW, -5.0, 0},
        {IST_CODE_FINISHCLOSE, 5e9, UINT32_MAX},  {IST_CODE_FINISHCLOSE, std::nan(""), 0},
    };
    for (const Number& n : numbers) {
        values.Apply(n.code, n.value, L"");
        int64_t kept = values.FinishCloseDelay;
        if (n.code == IST_CODE_STARTUPSTYLE)
            kept = values.StartupStyle;
        else if (n.code == IST_CODE_TOPSHOW)
            kept = values.TopShowDelay;
        EXPECT_EQ(kept, n.expected) << n.code << " " << n.value;
    }
}

TEST_F(RegistrationTest, RegistersWhereThePackageInstalled) {
    const std::string chosen = path("chosen/Tovaclip");
    const std::string installed = path("pkg/Tovaclip");
    struct Case {
        const char* name;
        std::optional<std::string> registered; // 3003, relative to the installation
        std::vector<std::string> files;
        std::optional<std::string> expected; // relative to the installation
        bool nextDefaultIsHere;              // a later installer proposes this directory
    };
    const Case cases[] = {
        {"no 3003, uninst.ep there", {}, {"uninst.ep"}, "uninst.ep", true},
        {"no 3003, no uninst.ep", {}, {}, {}, false},
        {"3003 there", "bin/remove", {"bin/remove"}, "bin/remove", true},
        // Nothing registered, so the next installer falls back to uninst.ep.
        {"3003 missing", "bin/remove", {"uninst.ep"}, {}, true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(path("config"));
        std::filesystem::remove_all(path("pkg"));
        std::filesystem::create_directories(installed + "/bin");
        for (const std::string& file : c.files)
            WriteFile(installed + "/" + file, "x");

        PostInstallValues values{.InstallDir = wide(chosen)};
        values.Apply(IST_CODE_INSTPATH, 0, wide(installed));
        if (c.registered)
            values.Apply(IST_CODE_UNINSTEP, 0, wide(installed + "/" + *c.registered));
        RegisterInstallation(values);

        EXPECT_EQ(registryValue(L"InstallPath"), wide(installed)) << c.name;
        std::optional<std::wstring> expected;
        if (c.expected)
            expected = wide(installed + "/" + *c.expected);
        EXPECT_EQ(registryValue(L"UnInstallEp"), expected) << c.name;

        // What the next installer makes of it.
        EarlierInstallation earlier = EarlierInstallation::Read();
        EXPECT_EQ(earlier.InstallPath, wide(installed)) << c.name;
        EXPECT_EQ(DefaultInstallDirectory(earlier, {}) == wide(installed), c.nextDefaultIsHere) << c.name;
    }
}

TEST_F(RegistrationTest, HandOverFilesGetANewDeviceIdEachTime) {
    const std::string dir = path("Tovaclip");
    std::filesystem::create_directories(dir);
    WriteFile(dir + "/set.ini", "[Uninstall]\nIsOverride=false\n");
    const std::string locale = std::setlocale(LC_ALL, nullptr);

    WriteHandOverFiles(wide(dir), L"TovaclipSetup-1.7.9.exe");
    const std::wstring firstId = installValue(L"DeviceID", dir);
    EXPECT_EQ(installValue(L"APPStore", dir), L"TovaclipSetup-1.7.9.exe");
    WriteHandOverFiles(wide(dir));
    const std::wstring secondId = installValue(L"DeviceID", dir);

    EXPECT_EQ(installValue(L"APPStore", dir), L"install_tests");
    EXPECT_EQ(installValue(L"AppName", dir), L"Tovaclip");
    const std::wregex guid(L"[0-9A-Fa-f]{32}");
    EXPECT_TRUE(std::regex_match(firstId, guid)) << Platform::ToUtf8(firstId);
    EXPECT_TRUE(std::regex_match(secondId, guid)) << Platform::ToUtf8(secondId);
    EXPECT_NE(firstId, secondId);
    EXPECT_EQ(Platform::GetProfileString(L"Uninstall", L"IsOverride", L"", wide(dir + "/set.ini"), 20),
              L"false");
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), locale);

    const std::string analytics = path("appdata/QuXinData/Tovaclip/QXAnalytics.ini");
    EXPECT_EQ(installValue(L"QXAnalyticsIni", dir), wide(analytics));
    std::string stamp =
        Platform::ToUtf8(Platform::GetProfileString(L"Init", L"UpdateTime", L"", wide(analytics), 128));
    ASSERT_TRUE(std::regex_match(stamp, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << stamp;
    std::tm parsed{};
    std::istringstream(stamp) >> std::get_time(&parsed, "%Y-%m-%d %H:%M:%S");
    parsed.tm_isdst = -1;
    EXPECT_LE(std::abs(std::difftime(std::time(nullptr), std::mktime(&parsed))), 5.0) << stamp;
}

TEST_F(RegistrationTest, AnalyticsFolderFallsBackToCommonDocuments) {
    const std::string dir = path("Tovaclip");
    WriteFile(path("not-a-folder"), "");
    struct Case {
        const char* name;
        std::optional<std::string> appData;
        std::optional<std::string> expected; // nullopt: no analytics file named
    };
    const Case cases[] = {
        {"no APPDATA", {}, path("public/Documents/QuXinData/Tovaclip/QXAnalytics.ini")},
        {"empty APPDATA", "", path("public/Documents/QuXinData/Tovaclip/QXAnalytics.ini")},
        {"APPDATA is a file", path("not-a-folder"), {}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(dir);
        std::filesystem::remove_all(path("public"));
        std::filesystem::create_directories(dir);
        ScopedEnvironment environment;
        environment.Assign("APPDATA", c.appData);
        WriteHandOverFiles(wide(dir), L"setup");

        EXPECT_EQ(installValue(L"AppName", dir), L"Tovaclip") << c.name;
        EXPECT_EQ(installValue(L"QXAnalyticsIni", dir), c.expected ? wide(*c.expected) : L"<absent>")
            << c.name;
        if (c.expected) {
            EXPECT_FALSE(
                Platform::GetProfileString(L"Init", L"UpdateTime", L"", wide(*c.expected), 128).empty())
                << c.name;
        }
    }
}

TEST_F(RegistrationTest, StartProductOpensLongStartPagesAndStartsAnExistingProduct) {
    TempDir bin;
    const std::string record = bin.path().string() + "/opened";
    WriteFile(bin.path() / "xdg-open", "#!/bin/sh\necho \"$1\" >> '" + record + "'\n");
    chmod((bin.path() / "xdg-open").c_str(), 0755);
    m_Environment.Set("PATH", bin.path().string() + ":" + std::getenv("PATH"));

    const std::string folder = path("pkg/Tovaclip");
    PostInstallValues values{.InstallDir = wide(folder)};
    values.ProductExecutable = wide(product(folder)) + L"\r";
    values.StartPage = L"abcde";
    int pumped = 0;
    EXPECT_TRUE(StartProduct(values, [&] {
        EXPECT_FALSE(std::filesystem::exists(folder + "/marker"));
        ++pumped;
    }));
    EXPECT_EQ(pumped, 1);
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(folder + "/marker"); }));
    EXPECT_EQ(ReadFile(folder + "/marker"), folder + "\n");

    // A product that is not there is skipped silently; the page is still opened.
    values.ProductExecutable = wide(folder + "/missing.exe");
    values.StartPage = L"a.test";
    EXPECT_FALSE(StartProduct(values, [&] { ++pumped; }));
    EXPECT_EQ(pumped, 1);
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(record).find('\n') != std::string::npos; }));
    EXPECT_EQ(ReadFile(record), "a.test\n");
    EXPECT_FALSE(StartProduct(PostInstallValues{}, {}));
}
