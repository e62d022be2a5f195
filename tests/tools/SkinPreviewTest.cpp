#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using TestSupport::RunCommand;

namespace {

const fs::path kSkin = fs::path(TOVACLIP_SOURCE_DIR) / "tests/fixtures/preview-skin";

TestSupport::CommandResult Preview(const std::string& arguments,
                                   const std::string& redirect = "2>/dev/null") {
    return RunCommand(TestSupport::BinPath("skin-preview").string() + " " + arguments + " " + redirect);
}

std::string Quote(const fs::path& path) {
    return "'" + path.string() + "'";
}

} // namespace

TEST(SkinPreview, DumpListsTheLaidOutControlTree) {
    const auto result = Preview("--skin " + Quote(kSkin) + " --layout main.xml --dump");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(
        result.output,
        "VerticalLayout name=\"\" rect=0,0,240,160 visible=1 text=\"\"\n"
        "  HorizontalLayout name=\"\" rect=10,10,230,50 visible=1 text=\"\"\n"
        "    SequenceLabel name=\"anim\" rect=10,10,50,50 visible=1 text=\"\"\n"
        "    Label name=\"title\" rect=50,10,230,50 visible=1 text=\"Tovaclip \\\"安装\\\"\\nnext line\"\n"
        "  Progress name=\"bar\" rect=10,54,230,62 visible=1 text=\"\"\n"
        "  TabLayout name=\"pages\" rect=10,66,230,126 visible=1 text=\"\"\n"
        "    HorizontalLayout name=\"page0\" rect=0,0,0,0 visible=0 text=\"\"\n"
        "      CheckBox name=\"agree\" rect=0,0,0,0 visible=0 text=\"I agree\"\n"
        "    HorizontalLayout name=\"page1\" rect=10,66,230,126 visible=1 text=\"\"\n"
        "      Button name=\"install\" rect=10,66,110,126 visible=1 text=\"Install\"\n"
        "      Control name=\"\" rect=120,66,230,126 visible=1 text=\"\"\n");
}

TEST(SkinPreview, PackedSkinShowsTheSameAsItsFolder) {
    TestSupport::TempDir dir;
    const fs::path package = dir.path() / "skin.7z";
    ASSERT_EQ(
        RunCommand(TestSupport::BinPath("skin-pack").string() + " " + Quote(kSkin) + " " + Quote(package))
            .status,
        0);

    const auto fromFolder = Preview("--skin " + Quote(kSkin) + " --layout main.xml --dump --out " +
                                    Quote(dir.path() / "folder.png"));
    const auto fromPackage = Preview("--skin " + Quote(package) + " --layout main.xml --dump --out " +
                                     Quote(dir.path() / "package.png"));
    EXPECT_EQ(fromFolder.status, 0);
    EXPECT_EQ(fromPackage.status, 0);
    EXPECT_EQ(fromPackage.output, fromFolder.output);

    // The window's size is the layout's, and the pictures come out of the package as they do from the folder.
    EXPECT_EQ(TestSupport::PngSize(dir.path() / "folder.png"), std::make_pair(240u, 160u));
    const std::string folderPicture = TestSupport::ReadFile(dir.path() / "folder.png");
    EXPECT_FALSE(folderPicture.empty());
    EXPECT_TRUE(TestSupport::ReadFile(dir.path() / "package.png") == folderPicture);
}

TEST(SkinPreview, FailuresSayWhatWentWrong) {
    TestSupport::TempDir dir;
    TestSupport::WriteFile(dir.path() / "not-a-package.7z", "plain text");
    struct Case {
        std::string arguments;
        int status;
        std::string message;
    };
    const std::string skin = "--skin " + Quote(kSkin);
    const Case cases[] = {
        {skin + " --layout broken.xml --dump", 1,
         "skin-preview: broken.xml: Expected attribute value at \"'title' text=\"broken\" "
         "/>\\n</Window>\\n\"\n"},
        {skin + " --layout missing.xml", 1,
         "skin-preview: missing.xml: Error opening file at \"missing.xml\"\n"},
        {"--skin " + Quote(dir.path() / "absent") + " --layout main.xml", 1,
         "skin-preview: cannot read the skin"},
        {"--skin " + Quote(dir.path() / "not-a-package.7z") + " --layout main.xml", 1,
         "skin-preview: not a 7z skin package"},
        {"", 2, "skin-preview: --skin is missing\nusage: skin-preview --skin"},
        {skin + " --dump", 2, "skin-preview: --layout is missing\nusage:"},
        {skin + " --layout", 2, "skin-preview: --layout needs a value\nusage:"},
        {skin + " --layout main.xml --zoom 2", 2, "skin-preview: unknown option --zoom\nusage:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto result = Preview(c.arguments, "2>&1 >/dev/null");
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.output.substr(0, c.message.size()), c.message) << result.output;
    }
}
