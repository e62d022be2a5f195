#include "uilib/SkinResources.h"

#include "tests/uilib/SkinFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace UiLib;
using TestSupport::TempDir;
using TestSupport::WriteFile;

namespace {

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// The fixture skin plus an empty file and files at and just over the size limit, packed once for
// the suite (the large files make packing slow).
class SkinResourcesTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_Dir = std::make_unique<TempDir>();
        s_Skin = s_Dir->path() / "skin";
        std::filesystem::copy(SkinFixture::Folder(), s_Skin, std::filesystem::copy_options::recursive);
        WriteFile(s_Skin / "empty.xml", "");
        WriteFile(s_Skin / "limit.bin", std::string(SkinResources::kMaxFileSize, 'x'));
        WriteFile(s_Skin / "large.bin", std::string(SkinResources::kMaxFileSize + 1, 'x'));
        s_Packed = SkinFixture::Pack(s_Skin, s_Dir->path() / "skin.7z");
    }
    static void TearDownTestSuite() { s_Dir.reset(); }

    // Reads `name` and gives the error text, or "ok" with the bytes compared to the skin's file.
    static std::string Read(const SkinResources& resources, const std::wstring& name,
                            const std::string& file = {}) {
        auto read = resources.ReadFile(name);
        if (!read.ok()) {
            EXPECT_TRUE(read.bytes.empty());
            return Narrow(read.error);
        }
        EXPECT_EQ(read.bytes, SkinFixture::FileBytes(s_Skin / file)) << file;
        return "ok";
    }

    static inline std::unique_ptr<TempDir> s_Dir;
    static inline std::filesystem::path s_Skin;
    static inline std::vector<uint8_t> s_Packed;
};

TEST_F(SkinResourcesTest, ResourcePathGetsATrailingSeparator) {
    SkinResources resources;
    resources.SetResourcePath(L"/skins/a");
    EXPECT_EQ(resources.ResourcePath(), L"/skins/a/");
    resources.SetResourcePath(L"C:\\skins\\");
    EXPECT_EQ(resources.ResourcePath(), L"C:\\skins\\");
    resources.SetResourcePath(L"");
    EXPECT_EQ(resources.ResourcePath(), L"");
}

TEST_F(SkinResourcesTest, ReadsFromTheFolderWithItsErrorTexts) {
    SkinResources resources;
    resources.SetResourcePath(s_Skin.wstring());
    EXPECT_EQ(Read(resources, L"mainWnd.xml", "mainWnd.xml"), "ok");
    EXPECT_EQ(Read(resources, L"res\\mainWnd\\bg1.png", "res/mainWnd/bg1.png"), "ok");
    EXPECT_EQ(Read(resources, L"limit.bin", "limit.bin"), "ok");
    EXPECT_EQ(Read(resources, L"missing.xml"), "Error opening file");
    EXPECT_EQ(Read(resources, L"res"), "Error opening file");
    EXPECT_EQ(Read(resources, L"empty.xml"), "File is empty");
    EXPECT_EQ(Read(resources, L"large.bin"), "File too large");
}

TEST_F(SkinResourcesTest, ReadsFromTheMemoryArchiveWithItsErrorTexts) {
    SkinResources resources;
    resources.SetResourcePath(s_Skin.wstring()); // not consulted once an archive is named
    resources.SetMemoryArchive(s_Packed);
    EXPECT_EQ(resources.ArchiveName(), L"membuffer");
    EXPECT_TRUE(resources.ArchiveCached());
    EXPECT_EQ(Read(resources, L"MainWnd.xml", "mainWnd.xml"), "ok");
    EXPECT_EQ(Read(resources, L"res\\mainWnd\\bg1.png", "res/mainWnd/bg1.png"), "ok");
    EXPECT_EQ(Read(resources, L"limit.bin", "limit.bin"), "ok");
    EXPECT_EQ(Read(resources, L"missing.xml"), "Could not find ziped file");
    EXPECT_EQ(Read(resources, L"res/mainWnd"), "Could not find ziped file");
    EXPECT_EQ(Read(resources, L"empty.xml"), "File is empty");
    EXPECT_EQ(Read(resources, L"large.bin"), "File too large");
}

TEST_F(SkinResourcesTest, MemoryArchiveIsOpenedOncePerProcess) {
    SkinResources resources;
    resources.SetMemoryArchive(s_Packed);
    const SkinArchive* first = resources.Archive();
    ASSERT_TRUE(first);
    // A later window hands the package again (here a different one): the open archive stays.
    resources.SetMemoryArchive(SkinFixture::Bytes("not an archive"));
    EXPECT_EQ(resources.Archive(), first);
    EXPECT_EQ(Read(resources, L"mainWnd.xml", "mainWnd.xml"), "ok");
}

TEST_F(SkinResourcesTest, UnreadablePackageFailsEveryRead) {
    SkinResources resources;
    std::vector<uint8_t> truncated(s_Packed.begin(), s_Packed.begin() + 40);
    resources.SetMemoryArchive(truncated);
    EXPECT_EQ(resources.ArchiveName(), L"membuffer");
    EXPECT_FALSE(resources.Archive());
    EXPECT_EQ(Read(resources, L"mainWnd.xml"), "Error opening zip file");

    std::vector<uint8_t> bytes;
    EXPECT_FALSE(resources.ReadArchiveEntry(L"mainWnd.xml", bytes));
}

TEST_F(SkinResourcesTest, ArchiveFileCachedOrOpenedForEachRead) {
    for (bool cached : {true, false}) {
        SCOPED_TRACE(cached ? "cached" : "opened per read");
        SkinResources resources;
        resources.SetResourcePath(s_Dir->path().wstring());
        resources.SetArchiveFile(L"skin.7z", cached);
        EXPECT_EQ(resources.Archive() != nullptr, cached);
        EXPECT_EQ(Read(resources, L"mainWnd.xml", "mainWnd.xml"), "ok");
        EXPECT_EQ(Read(resources, L"missing.xml"), "Could not find ziped file");

        resources.SetArchiveFile(L"missing.7z", cached);
        EXPECT_EQ(Read(resources, L"mainWnd.xml"), "Error opening zip file");
    }
}

} // namespace
