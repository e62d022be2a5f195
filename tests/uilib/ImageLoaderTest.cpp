#include "uilib/ImageLoader.h"

#include "tests/uilib/SkinFixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace UiLib;
using TestSupport::TempDir;

namespace {

// bg1.png, top row: red 200 at alpha 128, opaque red; bottom row: opaque (10, 20, 30), opaque green.
const std::filesystem::path kBg1 = SkinFixture::Folder() / "res/mainWnd/bg1.png";
// opaque.png: (1, 2, 3), white, black, all opaque.
const std::filesystem::path kOpaque = SkinFixture::Folder() / "res/common/opaque.png";

std::string Hex(const std::vector<uint32_t>& pixels) {
    std::string text;
    for (uint32_t pixel : pixels) {
        char word[12];
        std::snprintf(word, sizeof word, "%s%08X", text.empty() ? "" : " ", pixel);
        text += word;
    }
    return text;
}

TEST(ImageLoaderTest, PixelsArePremultipliedAndTheMaskComparesThePremultipliedValue) {
    struct Case {
        uint32_t mask;
        const char* pixels;
    };
    const Case cases[] = {
        // 200 * 128 / 255 = 100 (integer division); opaque pixels are copied.
        {0x00000000, "80640000 FFFF0000 FF0A141E FF00FF00"},
        // "#FF0000" is red with alpha 0: it never equals an opaque pixel.
        {0x00FF0000, "80640000 FFFF0000 FF0A141E FF00FF00"},
        {0xFFFF0000, "80640000 00000000 FF0A141E FF00FF00"},
        {0x80640000, "00000000 FFFF0000 FF0A141E FF00FF00"},
        // The colour as stored in the file, before premultiplication, is not what is compared.
        {0x80C80000, "80640000 FFFF0000 FF0A141E FF00FF00"},
    };
    const auto bytes = SkinFixture::FileBytes(kBg1);
    for (const Case& c : cases) {
        auto image = DecodeImage(bytes, c.mask);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, 2);
        EXPECT_EQ(image->height, 2);
        EXPECT_EQ(Hex(image->pixels), c.pixels) << std::hex << "mask " << c.mask;
        EXPECT_TRUE(image->hasAlpha);
        EXPECT_EQ(image->mask, c.mask);
    }
}

TEST(ImageLoaderTest, HasAlphaOnlyForTranslucentOrMaskedPixels) {
    const auto bytes = SkinFixture::FileBytes(kOpaque);
    auto plain = DecodeImage(bytes, 0);
    ASSERT_TRUE(plain);
    EXPECT_EQ(Hex(plain->pixels), "FF010203 FFFFFFFF FF000000");
    EXPECT_FALSE(plain->hasAlpha);

    auto masked = DecodeImage(bytes, 0xFFFFFFFF);
    ASSERT_TRUE(masked);
    EXPECT_EQ(Hex(masked->pixels), "FF010203 00000000 FF000000");
    EXPECT_TRUE(masked->hasAlpha);
}

TEST(ImageLoaderTest, UndecodableBytesGiveNoImage) {
    auto png = SkinFixture::FileBytes(kOpaque);
    std::vector<uint8_t> truncated(png.begin(), png.begin() + 20);
    EXPECT_FALSE(DecodeImage({}, 0));
    EXPECT_FALSE(DecodeImage(SkinFixture::Bytes("<Window/>"), 0));
    EXPECT_FALSE(DecodeImage(truncated, 0));
}

TEST(ImageLoaderTest, ColourImagesAreOnePixel) {
    const std::pair<std::wstring, const char*> cases[] = {
        {L"#80C80000", "80640000"},
        {L"FF00FF00", "FF00FF00"},
        {L"#FFF5F5F5", "FFF5F5F5"},
    };
    SkinResources resources;
    for (const auto& [name, pixel] : cases) {
        auto image = LoadImage(resources, name, kColorImageType, 0);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width, 1);
        EXPECT_EQ(image->height, 1);
        EXPECT_EQ(Hex(image->pixels), pixel);
    }
}

TEST(ImageLoaderTest, FilesComeFromTheArchiveThenFromThePathItself) {
    TempDir dir;
    SkinResources resources;
    resources.SetMemoryArchive(SkinFixture::Pack(SkinFixture::Folder(), dir.path() / "skin.7z"));

    auto fromArchive = LoadImage(resources, L"RES\\mainWnd\\bg1.png", {}, 0);
    ASSERT_TRUE(fromArchive);
    EXPECT_EQ(fromArchive->width, 2);

    // Not in the archive, but a readable path of its own.
    std::filesystem::copy_file(kOpaque, dir.path() / "outside.png");
    auto outside = LoadImage(resources, (dir.path() / "outside.png").wstring(), {}, 0);
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside->width, 3);

    EXPECT_FALSE(LoadImage(resources, L"res/mainWnd/missing.png", {}, 0));
    EXPECT_FALSE(LoadImage(resources, L"mainWnd.xml", {}, 0)); // found, but not a picture
}

TEST(ImageLoaderTest, FilesComeFromTheResourceFolderWithoutAnArchive) {
    SkinResources resources;
    resources.SetResourcePath(SkinFixture::Folder().wstring());
    auto image = LoadImage(resources, L"res\\common\\opaque.png", {}, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
    EXPECT_FALSE(LoadImage(resources, L"res/common/missing.png", {}, 0));
}

TEST(ImageLoaderTest, ProgramResourcesByNumberAndType) {
    SkinResources resources;
    // The test program embeds opaque.png as ICON 145 (tests/uilib/CMakeLists.txt).
    auto icon = LoadImage(resources, L"145", L"ICON", 0);
    ASSERT_TRUE(icon);
    EXPECT_EQ(Hex(icon->pixels), "FF010203 FFFFFFFF FF000000");
    EXPECT_FALSE(LoadImage(resources, L"146", L"ICON", 0));
    EXPECT_FALSE(LoadImage(resources, L"145", L"PNG", 0));
}

} // namespace
