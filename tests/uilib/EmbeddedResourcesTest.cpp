#include "platform/Resources.h"
#include "uilib/SkinResources.h"

#include "tests/uilib/SkinFixture.h"

#include <gtest/gtest.h>

using namespace UiLib;

namespace {

std::vector<uint8_t> Copy(std::span<const uint8_t> bytes) {
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// tests/uilib/CMakeLists.txt embeds the packed fixture skin as ZIPRES 147 and opaque.png as ICON 145.
TEST(EmbeddedResourcesTest, FoundByNumberAndTypeIgnoringTheTypesCase) {
    const auto icon = SkinFixture::FileBytes(SkinFixture::Folder() / "res/common/opaque.png");
    EXPECT_EQ(Copy(Platform::FindResource(145, "ICON")), icon);
    EXPECT_EQ(Copy(Platform::FindResource(145, "icon")), icon);
    EXPECT_EQ(Copy(Platform::FindResource("145", "Icon")), icon);
    EXPECT_FALSE(Platform::FindResource(147, "ZIPRES").empty());

    EXPECT_TRUE(Platform::FindResource(146, "ZIPRES").empty());
    EXPECT_TRUE(Platform::FindResource(147, "ICON").empty());
    EXPECT_TRUE(Platform::FindResource(145, "").empty());
    EXPECT_TRUE(Platform::FindResource(1145, "ICON").empty());
}

TEST(EmbeddedResourcesTest, EmbeddedSkinServesTheLayouts) {
    SkinResources resources;
    resources.SetMemoryArchive(Platform::FindResource(147, "ZIPRES"));
    auto layout = resources.ReadFile(L"MainWnd.xml");
    ASSERT_TRUE(layout.ok()) << std::string(layout.error.begin(), layout.error.end());
    EXPECT_EQ(layout.bytes, SkinFixture::FileBytes(SkinFixture::Folder() / "mainWnd.xml"));
}

} // namespace
