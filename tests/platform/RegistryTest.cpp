#include "platform/Registry.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace Platform;

namespace {

// Every test gets its own registry.
class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        m_Previous = previous ? previous : "";
        setenv("XDG_CONFIG_HOME", m_Config.path().c_str(), 1);
    }
    void TearDown() override { setenv("XDG_CONFIG_HOME", m_Previous.c_str(), 1); }

    std::filesystem::path hive() const { return m_Config.path() / "registry" / "HKEY_CURRENT_USER"; }

    TestSupport::TempDir m_Config;
    std::string m_Previous;
};

constexpr wchar_t kKey[] = L"Software\\QuXinSoft\\Tovaclip";

} // namespace

TEST_F(RegistryTest, MissingKeyOpensOnlyWithCreate) {
    EXPECT_FALSE(RegistryKey::OpenCurrentUser(kKey, false));
    EXPECT_FALSE(std::filesystem::exists(m_Config.path() / "registry"));

    auto key = RegistryKey::OpenCurrentUser(kKey, true);
    ASSERT_TRUE(key);
    EXPECT_TRUE(std::filesystem::is_directory(hive() / "Software" / "QuXinSoft" / "Tovaclip"));
    EXPECT_EQ(key->GetString(L"InstallDir"), std::nullopt);

    ASSERT_TRUE(key->SetString(L"InstallDir", L"/opt/Tovaclip"));
    EXPECT_EQ(TestSupport::ReadFile(hive() / "Software" / "QuXinSoft" / "Tovaclip" / "values.ini"),
              "[values]\nInstallDir=/opt/Tovaclip\n");
    EXPECT_TRUE(RegistryKey::OpenCurrentUser(L"Software\\QuXinSoft", false));
}

TEST_F(RegistryTest, ValuesSurviveReopening) {
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"Chinese", L"简体中文 安装"},
        {L"Blanks", L"  padded\t"},
        {L"Quotes", L"\"quoted\""},
        {L"Single", L"'x'"},
        {L"Empty", L""},
        {L"Equals", L"a=b; #c"},
        {L"Long", std::wstring(40000, L'x')},
    };
    {
        auto key = RegistryKey::OpenCurrentUser(kKey, true);
        ASSERT_TRUE(key);
        ASSERT_TRUE(key->SetString(L"chinese", L"旧值"));
        for (const auto& [name, value] : values)
            ASSERT_TRUE(key->SetString(name, value)) << name;
    }
    auto key = RegistryKey::OpenCurrentUser(kKey, false);
    ASSERT_TRUE(key);
    for (const auto& [name, value] : values)
        EXPECT_EQ(key->GetString(name), value) << name;
    EXPECT_EQ(
        TestSupport::ReadFile(hive() / "Software" / "QuXinSoft" / "Tovaclip" / "values.ini").find("旧值"),
        std::string::npos);
    EXPECT_EQ(key->GetString(L"Missing"), std::nullopt);
    EXPECT_FALSE(key->SetString(L"Lines", L"one\ntwo"));
}

TEST_F(RegistryTest, KeyNamesIgnoreCase) {
    auto written = RegistryKey::OpenCurrentUser(kKey, true);
    ASSERT_TRUE(written && written->SetString(L"Version", L"1.7.9"));

    auto other = RegistryKey::OpenCurrentUser(L"SOFTWARE\\quxinsoft\\TOVACLIP", true);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->GetString(L"version"), L"1.7.9");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(hive()), {}), 1);
}

TEST_F(RegistryTest, RefusesMalformedKeyPaths) {
    const wchar_t* paths[] = {L"",          L"\\Software",   L"Software\\",  L"Software\\\\X",
                              L".",         L"Software\\..", L"..\\..\\etc", L"Software\\.\\X",
                              L"Software/X"};
    for (const wchar_t* path : paths)
        EXPECT_FALSE(RegistryKey::OpenCurrentUser(path, true)) << path;
    EXPECT_FALSE(std::filesystem::exists(hive() / "Software"));
}

TEST_F(RegistryTest, DeletedKeyReadsAsMissing) {
    auto key = RegistryKey::OpenCurrentUser(kKey, true);
    ASSERT_TRUE(key && key->SetString(L"Version", L"1"));
    std::filesystem::remove_all(hive() / "Software");
    EXPECT_EQ(key->GetString(L"Version"), std::nullopt);
    EXPECT_FALSE(key->SetString(L"Version", L"2"));
}
