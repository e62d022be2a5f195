#include "ui/Language.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestSupport.h"
#include "uilib/SkinResources.h"
#include "uilib/WindowManagerUI.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

using namespace UiLib;

namespace {

const std::wstring kGermanDiskSpace = L"Nicht genügend Speicherplatz";
const std::wstring kChineseDiskSpace = L"磁碟空間不足";

TEST(DetectLanguageIndex, TheFirstSetLocaleVariableNamesTheLanguage) {
    const struct {
        std::optional<std::string> lcAll, lcMessages, lang;
        int index;
    } cases[] = {
        {{}, {}, "de_DE.UTF-8", 5},
        {{}, {}, "pt_BR.UTF-8", 8},
        {{}, {}, "pt_PT.UTF-8", 0}, // only Brazilian Portuguese has an entry
        {{}, {}, "zh_CN.UTF-8", 0}, // Simplified Chinese has none
        {{}, {}, "zh_TW.UTF-8", 2},
        {{}, {}, "es_MX.UTF-8", 7},
        {{}, {}, "es_US.UTF-8", 0}, // the one Spanish variant the installer does not list
        {{}, {}, "nl_BE.UTF-8", 12},
        {{}, {}, "fr_CA.UTF-8", 0}, // French only as spoken in France
        {{}, {}, "it_IT", 13},
        {{}, {}, "de_DE@euro", 5},
        {{}, {}, "de", 5},
        {{}, {}, "en_GB.UTF-8", 0},
        {{}, {}, "C", 0},
        {{}, {}, "C.UTF-8", 0},
        {{}, {}, {}, 0},
        {"ja_JP.UTF-8", "tr_TR.UTF-8", "de_DE.UTF-8", 9},
        {{}, "ko_KR.UTF-8", "de_DE.UTF-8", 10},
        {"", "", "tr_TR.UTF-8", 4}, // an empty variable counts as unset
    };
    for (const auto& c : cases) {
        ScopedEnvironment environment;
        environment.Assign("LC_ALL", c.lcAll);
        environment.Assign("LC_MESSAGES", c.lcMessages);
        environment.Assign("LANG", c.lang);
        EXPECT_EQ(DetectLanguageIndex(), c.index)
            << c.lcAll.value_or("-") << " " << c.lcMessages.value_or("-") << " " << c.lang.value_or("-");
    }
}

TEST(LocaleNameOf, TheTablesNamesAndNothingOutsideIt) {
    EXPECT_EQ(LocaleNameOf(0), L"en-US");
    EXPECT_EQ(LocaleNameOf(2), L"zh-TW");
    EXPECT_EQ(LocaleNameOf(8), L"pt-PT");
    EXPECT_EQ(LocaleNameOf(13), L"it-IT");
    EXPECT_EQ(LocaleNameOf(-1), L"");
    EXPECT_EQ(LocaleNameOf(14), L"");
}

// Other tests of this program point the process's skin folder elsewhere: each test here sets its own
// and puts the previous one back.
class ApplyLanguageTest : public testing::Test {
protected:
    void SetUp() override {
        m_SavedPath = SkinResources::Process().ResourcePath();
        SkinResources::Process().SetArchiveFile(L"", false);
        UseSkinFolder(std::filesystem::path(TOVACLIP_SOURCE_DIR) / "tests/fixtures/language-skin");
    }
    void TearDown() override { SkinResources::Process().SetResourcePath(m_SavedPath); }

    static void UseSkinFolder(const std::filesystem::path& folder) {
        SkinResources::Process().SetResourcePath(folder.wstring());
    }

    CWindowManagerUI manager;

private:
    std::wstring m_SavedPath;
};

TEST_F(ApplyLanguageTest, StoresTheChosenLanguagesTextsByNumber) {
    EXPECT_EQ(ApplyLanguage(manager, 5, L""), 5);
    EXPECT_EQ(manager.GetMultiLanguageString(104), kGermanDiskSpace);
    EXPECT_EQ(manager.GetMultiLanguageString(105), L"Jetzt installieren");

    // The locale name wins over the index; the file's UTF-8 arrives as wide text.
    EXPECT_EQ(ApplyLanguage(manager, 0, L"zh-TW"), 2);
    EXPECT_EQ(manager.GetMultiLanguageString(104), kChineseDiskSpace);
    EXPECT_EQ(manager.GetMultiLanguageString(105), L"立即安裝");

    // Italian has no text for 105: the number is emptied, not left in Chinese.
    EXPECT_EQ(ApplyLanguage(manager, 13, L""), 13);
    EXPECT_EQ(manager.GetMultiLanguageString(104), L"Spazio su disco insufficiente");
    EXPECT_EQ(manager.GetMultiLanguageString(105), L"");
}

TEST_F(ApplyLanguageTest, ASecondLanguageReplacesOnlyTheNumbersItDefines) {
    manager.AddMultiLanguageString(300, L"from the layout");
    ASSERT_EQ(ApplyLanguage(manager, 5, L""), 5);

    TestSupport::TempDir other;
    TestSupport::WriteFile(other.path() / "language.json", R"([{"id": 104, "zh-TW": "磁碟空間不足"}])");
    UseSkinFolder(other.path());
    EXPECT_EQ(ApplyLanguage(manager, 2, L""), 2);
    EXPECT_EQ(manager.GetMultiLanguageString(104), kChineseDiskSpace);
    EXPECT_EQ(manager.GetMultiLanguageString(105), L"Jetzt installieren");
    EXPECT_EQ(manager.GetMultiLanguageString(300), L"from the layout");
}

TEST_F(ApplyLanguageTest, TheLocaleNameResolvesTheIndex) {
    const struct {
        int index;
        std::wstring localeName;
        int resolved;
    } cases[] = {
        {0, L"zh-TW", 2},   {13, L"en-US", 0}, {4, L"xx-XX", 4},
        {99, L"xx-XX", 99}, {3, L"de-de", 3}, // names are compared exactly
        {99, L"", 0},       {-1, L"", 0},      {13, L"", 13},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ApplyLanguage(manager, c.index, c.localeName), c.resolved)
            << c.index << " " << std::string(c.localeName.begin(), c.localeName.end());
    }
    // An index outside the table that a name keeps names no language: its texts are empty.
    ASSERT_EQ(ApplyLanguage(manager, 99, L"xx-XX"), 99);
    EXPECT_EQ(manager.GetMultiLanguageString(104), L"");
}

TEST_F(ApplyLanguageTest, WithoutAReadableFileNothingChanges) {
    TestSupport::TempDir skin;
    UseSkinFolder(skin.path());
    const struct {
        const char* what;
        std::optional<std::string> content;
    } cases[] = {
        {"missing", std::nullopt},
        {"empty", ""},
        {"too large", std::string(SkinResources::kMaxFileSize + 1, ' ')},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(skin.path() / "language.json");
        if (c.content)
            TestSupport::WriteFile(skin.path() / "language.json", *c.content);
        manager.AddMultiLanguageString(104, L"from the layout");
        EXPECT_EQ(ApplyLanguage(manager, 5, L"zh-TW"), 0) << c.what;
        EXPECT_EQ(manager.GetMultiLanguageString(104), L"from the layout") << c.what;
    }
}

TEST_F(ApplyLanguageTest, AFileThatIsNotJsonResolvesTheIndexWithoutTexts) {
    TestSupport::TempDir skin;
    UseSkinFolder(skin.path());
    TestSupport::WriteFile(skin.path() / "language.json", R"([{"id": 104, "de-DE": "Nicht)");
    manager.AddMultiLanguageString(104, L"from the layout");
    EXPECT_EQ(ApplyLanguage(manager, 0, L"de-DE"), 5);
    EXPECT_EQ(manager.GetMultiLanguageString(104), L"from the layout");
}

TEST_F(ApplyLanguageTest, ElementsWithoutAnIntegerNumberAreSkipped) {
    TestSupport::TempDir skin;
    UseSkinFolder(skin.path());
    TestSupport::WriteFile(skin.path() / "language.json", R"({"a": {"id": 104, "de-DE": "eins"},
        "b": {"id": "105", "de-DE": "zwei"}, "c": {"de-DE": "drei"}, "d": 7, "e": {"id": 106.0, "de-DE": 6}})");
    EXPECT_EQ(ApplyLanguage(manager, 5, L""), 5);
    EXPECT_EQ(manager.GetMultiLanguageString(104), L"eins");
    EXPECT_EQ(manager.GetMultiLanguageString(105), L"");
    EXPECT_EQ(manager.GetMultiLanguageString(0), L"");
    manager.AddMultiLanguageString(106, L"x");
    EXPECT_EQ(ApplyLanguage(manager, 5, L""), 5);
    EXPECT_EQ(manager.GetMultiLanguageString(106), L""); // a number-valued text counts as none
}

TEST_F(ApplyLanguageTest, AnEarlierInstallationsRecordedLanguage) {
    const struct {
        const char* what;
        std::optional<std::string> configIni;
        int index;
        std::wstring text104;
    } cases[] = {
        {"recorded", "[Install]\nLanguage=zh-TW\n", 2, kChineseDiskSpace},
        {"unknown name", "[Install]\nLanguage=xx-XX\n", 0, L"Not enough disk space"},
        {"no key", "[Install]\nPath=/opt\n", 0, L"Not enough disk space"},
        {"no config.ini", std::nullopt, 0, L"Not enough disk space"},
    };
    for (const auto& c : cases) {
        TestSupport::TempDir installation;
        if (c.configIni)
            TestSupport::WriteFile(installation.path() / "config.ini", *c.configIni);
        manager.AddMultiLanguageString(104, L"from the layout");
        EXPECT_EQ(ApplyLanguageFromInstall(manager, installation.wide()), c.index) << c.what;
        EXPECT_EQ(manager.GetMultiLanguageString(104), c.text104) << c.what;
    }
}

} // namespace
