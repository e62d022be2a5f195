#include "install/InstallDirectory.h"
#include "install/EarlierInstallation.h"

#include "platform/Registry.h"
#include "platform/TextCodec.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

using TestSupport::TempDir;
using TestSupport::WriteFile;

namespace {

// Its own registry and program-files folder, and no APPDATA unless a case sets one.
class InstallDirectoryTest : public testing::Test {
protected:
    void SetUp() override {
        m_Environment.Set("XDG_CONFIG_HOME", (m_Root.path() / "config").string());
        m_Environment.Set("PROGRAMFILES", programs());
        m_Environment.Unset("APPDATA");
    }

    std::string path(const std::string& relative) const { return (m_Root.path() / relative).string(); }
    std::string programs() const { return path("programs"); }
    static std::wstring wide(const std::string& text) { return Platform::FromUtf8(text); }

    // An earlier installation in "old/Tovaclip", with or without its uninstaller file.
    EarlierInstallation earlier(bool uninstallerPresent) const {
        std::filesystem::create_directories(path("old/Tovaclip"));
        if (uninstallerPresent)
            WriteFile(path("old/Tovaclip/uninst.ep"), "uninstaller");
        else
            std::filesystem::remove(path("old/Tovaclip/uninst.ep"));
        return {wide(path("old/Tovaclip")), wide(path("old/Tovaclip/uninst.ep"))};
    }

    TempDir m_Root;
    ScopedEnvironment m_Environment;
};

constexpr AdminFacts kAdministrator{true, true};
constexpr AdminFacts kUser{false, false};

} // namespace

TEST_F(InstallDirectoryTest, EarlierInstallationComesFromTheRegistry) {
    struct Case {
        const char* name;
        std::optional<std::wstring> installPath, unInstallEp;
        std::wstring expectedPath, expectedUninstaller;
    };
    const Case cases[] = {
        {"no key", std::nullopt, std::nullopt, L"", L""},
        {"InstallPath only", L"/apps/Tovaclip", std::nullopt, L"/apps/Tovaclip", L"/apps/Tovaclip/uninst.ep"},
        {"InstallPath with a separator", L"/apps/Tovaclip/", std::nullopt, L"/apps/Tovaclip/",
         L"/apps/Tovaclip/uninst.ep"},
        {"both values", L"/apps/Tovaclip", L"/apps/Tovaclip/bin/remove", L"/apps/Tovaclip",
         L"/apps/Tovaclip/bin/remove"},
        {"empty UnInstallEp", L"/apps/Tovaclip", L"", L"/apps/Tovaclip", L"/apps/Tovaclip/uninst.ep"},
        {"UnInstallEp only", std::nullopt, L"/apps/x/uninst.ep", L"", L"/apps/x/uninst.ep"},
        {"empty InstallPath", L"", std::nullopt, L"", L""},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(path("config"));
        if (c.installPath || c.unInstallEp) {
            auto key = Platform::RegistryKey::OpenCurrentUser(kProductRegistryKey, true);
            ASSERT_TRUE(key);
            if (c.installPath)
                key->SetString(L"InstallPath", *c.installPath);
            if (c.unInstallEp)
                key->SetString(L"UnInstallEp", *c.unInstallEp);
        }
        EarlierInstallation read = EarlierInstallation::Read();
        EXPECT_EQ(read.InstallPath, c.expectedPath) << c.name;
        EXPECT_EQ(read.UnInstallEp, c.expectedUninstaller) << c.name;
    }
}

TEST_F(InstallDirectoryTest, DefaultDirectory) {
    const std::string appData = path("appdata");
    const std::string longFolder = path(std::string(300, 'p'));
    struct Case {
        const char* name;
        std::optional<bool> uninstallerPresent; // nullopt: no earlier installation
        AdminFacts facts;
        std::optional<std::string> appData;
        std::optional<std::string> programFiles; // nullopt: the fixture's
        std::string expected;
    };
    const Case cases[] = {
        {"earlier installation", true, kAdministrator, appData, {}, path("old/Tovaclip")},
        {"uninstaller deleted", false, kUser, appData, {}, programs() + "/Tovaclip"},
        {"uninstaller deleted, administrator",
         false,
         kAdministrator,
         appData,
         {},
         appData + "/parvo/Tovaclip"},
        {"administrator with APPDATA", {}, kAdministrator, appData, {}, appData + "/parvo/Tovaclip"},
        {"APPDATA ending in a separator", {}, kAdministrator, appData + "/", {}, appData + "/parvo/Tovaclip"},
        {"administrator without APPDATA", {}, kAdministrator, {}, {}, programs() + "/Tovaclip"},
        {"empty APPDATA", {}, kAdministrator, "", {}, programs() + "/Tovaclip"},
        {"APPDATA too long to read", {}, kAdministrator, longFolder, {}, programs() + "/Tovaclip"},
        {"console user not an administrator", {}, {false, true}, appData, {}, programs() + "/Tovaclip"},
        {"installer not elevated", {}, {true, false}, appData, {}, programs() + "/Tovaclip"},
        {"user", {}, kUser, appData, {}, programs() + "/Tovaclip"},
        {"long program-files folder", {}, kUser, {}, longFolder, (longFolder + "/Tovaclip").substr(0, 259)},
    };
    for (const Case& c : cases) {
        ScopedEnvironment environment;
        environment.Assign("APPDATA", c.appData);
        if (c.programFiles)
            environment.Set("PROGRAMFILES", *c.programFiles);
        EarlierInstallation record =
            c.uninstallerPresent ? earlier(*c.uninstallerPresent) : EarlierInstallation{};
        EXPECT_EQ(DefaultInstallDirectory(record, c.facts), wide(c.expected)) << c.name;
    }
}

TEST_F(InstallDirectoryTest, SameAsDefaultIsLexical) {
    const std::string folder = programs() + "/Tovaclip";
    std::string backslashed = folder;
    std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
    struct Case {
        std::string text;
        bool expected;
    };
    const Case cases[] = {
        {folder, true},
        {folder + "/", true},
        {folder + "\\", true},
        {folder + "//", true},
        {programs() + "/./Tovaclip", true},
        {programs() + "/x/../Tovaclip", true},
        {backslashed, true},
        {folder + "/sub", false},
        {folder + "2", false},
        {programs() + "/tovaclip", false},
        {programs(), false},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsDefaultInstallDirectory(wide(c.text), {}, kUser), c.expected) << c.text;
}

TEST_F(InstallDirectoryTest, CustomDirectoryGetsAProductFolder) {
    const EarlierInstallation record = earlier(true);
    const std::string old = path("old/Tovaclip");
    const std::string longText = "/" + std::string(300, 'd');
    struct Case {
        std::wstring text;
        std::string expected;
    };
    const Case cases[] = {
        {wide(old), old},
        {wide(old + "\\"), old},
        {wide(path("old")), old},
        {wide(programs()), programs() + "/Tovaclip"},
        {L"/data/Apps", "/data/Apps/Tovaclip"},
        {L"/data/Apps/", "/data/Apps/Tovaclip"},
        {L"\\data\\Apps", "/data/Apps/Tovaclip"},
        {L"/data/软件\\Sub", "/data/软件/Sub/Tovaclip"},
        {wide(longText), longText.substr(0, 259)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CustomInstallDirectory(c.text, record, kUser), wide(c.expected)) << wide(c.expected);
}

TEST_F(InstallDirectoryTest, OnlyOverrideFalseInTheSameDirectoryKeepsTheEarlierInstallation) {
    const std::string old = path("old/Tovaclip");
    const std::string other = path("other/Tovaclip");
    struct Case {
        const char* name;
        std::string installPath, chosen;
        std::optional<std::string> setIni; // written into the chosen directory
        bool expected;
    };
    const Case cases[] = {
        {"false", old, old, "[Uninstall]\nIsOverride=false\n", true},
        {"written with a separator", old + "/", old, "[Uninstall]\nIsOverride=false\n", true},
        {"False", old, old, "[Uninstall]\nIsOverride=False\n", false},
        {"0", old, old, "[Uninstall]\nIsOverride=0\n", false},
        {"true", old, old, "[Uninstall]\nIsOverride=true\n", false},
        {"more than false", old, old, "[Uninstall]\nIsOverride=false1\n", false},
        {"another section", old, old, "[Install]\nIsOverride=false\n", false},
        {"no set.ini", old, old, std::nullopt, false},
        {"another directory", old, other, "[Uninstall]\nIsOverride=false\n", false},
        {"no earlier installation", "", old, "[Uninstall]\nIsOverride=false\n", false},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(path("old"));
        std::filesystem::remove_all(path("other"));
        std::filesystem::create_directories(c.chosen);
        if (c.setIni)
            WriteFile(std::filesystem::path(c.chosen) / "set.ini", *c.setIni);
        EarlierInstallation record{wide(c.installPath), wide(c.installPath + "/uninst.ep")};
        EXPECT_EQ(KeepsEarlierInstallation(wide(c.chosen), record), c.expected) << c.name;
    }
}
