#include "uilib/ImageCache.h"
#include "uilib/ImageLoader.h"

#include "tests/uilib/SkinFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace UiLib;
using TestSupport::TempDir;

namespace {

// A skin folder of its own, so pictures can be changed and added under the caches.
class ImageCacheTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy(SkinFixture::Folder(), m_Skin, std::filesystem::copy_options::recursive);
        m_Resources.SetResourcePath(m_Skin.wstring());
    }

    TempDir m_Dir;
    std::filesystem::path m_Skin = m_Dir.path() / "skin";
    SkinResources m_Resources;
    ImageTable m_Shared;
    ImageCache m_Cache{m_Resources, m_Shared};
};

TEST_F(ImageCacheTest, SameNameGivesTheSameImageWithoutDecodingAgain) {
    const ImageEntry* first = m_Cache.GetImage(L"res/mainWnd/bg1.png");
    ASSERT_TRUE(first);
    // Even a changed file is not read again while the entry is cached.
    std::filesystem::copy_file(m_Skin / "res/common/opaque.png", m_Skin / "res/mainWnd/bg1.png",
                               std::filesystem::copy_options::overwrite_existing);
    const ImageEntry* second = m_Cache.GetImage(L"res/mainWnd/bg1.png");
    EXPECT_EQ(second, first);
    EXPECT_EQ(second->width, 2);
}

TEST_F(ImageCacheTest, KeysAreTheNamesAsWritten) {
    const ImageEntry* slashes = m_Cache.GetImage(L"res/mainWnd/bg1.png");
    const ImageEntry* backslashes = m_Cache.GetImage(L"res\\mainWnd\\bg1.png");
    ASSERT_TRUE(slashes);
    ASSERT_TRUE(backslashes);
    EXPECT_NE(slashes, backslashes);
    EXPECT_EQ(slashes->pixels, backslashes->pixels);
    EXPECT_EQ(m_Cache.OwnTable().size(), 2u);
}

TEST_F(ImageCacheTest, ANameThatFailedIsTriedAgain) {
    EXPECT_FALSE(m_Cache.GetImage(L"late.png"));
    EXPECT_FALSE(m_Cache.GetImage(L""));
    EXPECT_EQ(m_Cache.OwnTable().size(), 0u);
    std::filesystem::copy_file(m_Skin / "res/common/opaque.png", m_Skin / "late.png");
    const ImageEntry* image = m_Cache.GetImage(L"late.png");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
}

TEST_F(ImageCacheTest, SharedTableServesEveryWindow) {
    ImageCache otherWindow{m_Resources, m_Shared};
    const ImageEntry* shared = m_Cache.AddImage(L"res/common/opaque.png", {}, 0, false, true);
    ASSERT_TRUE(shared);
    EXPECT_EQ(otherWindow.GetImage(L"res/common/opaque.png"), shared);
    EXPECT_EQ(m_Cache.OwnTable().size(), 0u);
    EXPECT_EQ(otherWindow.OwnTable().size(), 0u);

    // The window's own table is asked first.
    const ImageEntry* own = otherWindow.AddImage(L"res/common/opaque.png");
    ASSERT_TRUE(own);
    EXPECT_NE(own, shared);
    EXPECT_EQ(otherWindow.GetImage(L"res/common/opaque.png"), own);
    EXPECT_EQ(m_Cache.GetImage(L"res/common/opaque.png"), shared);

    // A cache set to use shared resources adds everything to the shared table.
    otherWindow.SetUseSharedResources(true);
    const ImageEntry* added = otherWindow.AddImage(L"res/mainWnd/bg1.png");
    EXPECT_EQ(m_Cache.GetImage(L"res/mainWnd/bg1.png"), added);
    EXPECT_EQ(m_Shared.size(), 2u);
}

TEST_F(ImageCacheTest, AddingReplacesAndKeepsHowTheImageWasLoaded) {
    m_Cache.AddImage(L"res/mainWnd/bg1.png");
    const ImageEntry* replaced = m_Cache.AddImage(L"res/mainWnd/bg1.png", {}, 0xFFFF0000, true);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(m_Cache.OwnTable().size(), 1u);
    EXPECT_EQ(m_Cache.GetImage(L"res/mainWnd/bg1.png"), replaced);
    EXPECT_EQ(replaced->mask, 0xFFFF0000u);
    EXPECT_EQ(replaced->pixels[1], 0u); // masked
    EXPECT_TRUE(replaced->useHsl);
    EXPECT_EQ(replaced->sourcePixels, replaced->pixels);

    const ImageEntry* colour = m_Cache.AddImage(L"#FF102030", kColorImageType);
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->resourceType, kColorImageType);
    EXPECT_FALSE(colour->useHsl);
    EXPECT_TRUE(colour->sourcePixels.empty());
}

} // namespace
