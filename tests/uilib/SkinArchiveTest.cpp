#include "uilib/SkinArchive.h"

#include "tests/uilib/SkinFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <string>

using namespace UiLib;
using TestSupport::TempDir;

namespace {

// Every header of a 7z archive, directories included, sorted.
std::vector<std::string> RawNames(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> names;
    archive* reader = archive_read_new();
    archive_read_support_format_7zip(reader);
    archive_entry* header = nullptr;
    if (archive_read_open_memory(reader, bytes.data(), bytes.size()) == ARCHIVE_OK)
        while (archive_read_next_header(reader, &header) == ARCHIVE_OK)
            names.push_back(archive_entry_pathname(header));
    archive_read_free(reader);
    std::sort(names.begin(), names.end());
    return names;
}

class SkinArchiveTest : public testing::Test {
protected:
    void SetUp() override {
        m_Packed = SkinFixture::Pack(SkinFixture::Folder(), m_Dir.path() / "skin.7z");
        m_Archive = SkinArchive::OpenMemory(m_Packed);
        ASSERT_TRUE(m_Archive);
    }

    std::wstring FoundPath(const std::wstring& name) const {
        auto found = m_Archive->FindEntry(name);
        return found ? m_Archive->entries()[found->index].path : L"<not found>";
    }

    TempDir m_Dir;
    std::vector<uint8_t> m_Packed;
    std::unique_ptr<SkinArchive> m_Archive;
};

TEST_F(SkinArchiveTest, PackedFolderReadsBackFileByFileWithoutDirectories) {
    std::vector<std::wstring> paths;
    for (const auto& entry : m_Archive->entries()) {
        paths.push_back(entry.path);
        EXPECT_EQ(entry.pathLength, entry.path.size() + 1);
        EXPECT_EQ(entry.size, entry.bytes.size());
        std::filesystem::path onDisk = SkinFixture::Folder() / std::filesystem::path(entry.path);
        EXPECT_EQ(entry.bytes, SkinFixture::FileBytes(onDisk)) << onDisk;
    }
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths,
              (std::vector<std::wstring>{L"mainWnd.xml", L"res/common/opaque.png", L"res/mainWnd/bg1.png"}));
    // The packer stores the directories too, so the reader really had some to skip.
    EXPECT_EQ(RawNames(m_Packed),
              (std::vector<std::string>{"mainWnd.xml", "res/", "res/common/", "res/common/opaque.png",
                                        "res/mainWnd/", "res/mainWnd/bg1.png"}));

    // Packing is reproducible: the same folder gives the same bytes.
    EXPECT_EQ(SkinFixture::Pack(SkinFixture::Folder(), m_Dir.path() / "again.7z"), m_Packed);
}

TEST_F(SkinArchiveTest, LookupIgnoresCaseAndTakesBackslashesAsSlashes) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"mainWnd.xml", L"mainWnd.xml"},
        {L"MainWnd.xml", L"mainWnd.xml"},
        {L"MAINWND.XML", L"mainWnd.xml"},
        {L"res\\mainWnd\\bg1.png", L"res/mainWnd/bg1.png"},
        {L"RES\\MAINWND/BG1.PNG", L"res/mainWnd/bg1.png"},
        {L"res", L"<not found>"}, // directories are not entries
        {L"res/mainWnd", L"<not found>"},
        {L"res/mainWnd/", L"<not found>"},
        {L"mainWnd.xm", L"<not found>"},
        {L"mainWnd.xml ", L"<not found>"},
        {L"/mainWnd.xml", L"<not found>"},
        {L"", L"<not found>"},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(FoundPath(name), expected)
            << "looking up \"" << std::string(name.begin(), name.end()) << '"';
}

TEST_F(SkinArchiveTest, ExtractCopiesIntoABufferOfTheEntrySize) {
    auto found = m_Archive->FindEntry(L"mainWnd.xml");
    ASSERT_TRUE(found);
    std::vector<uint8_t> buffer(size_t(found->size));
    ASSERT_TRUE(m_Archive->ExtractEntry(found->index, buffer));
    EXPECT_EQ(buffer, SkinFixture::FileBytes(SkinFixture::Folder() / "mainWnd.xml"));

    std::vector<uint8_t> tooSmall(buffer.size() - 1);
    EXPECT_FALSE(m_Archive->ExtractEntry(found->index, tooSmall));
    EXPECT_FALSE(m_Archive->ExtractEntry(m_Archive->entries().size(), buffer));
}

TEST_F(SkinArchiveTest, UnreadableBytesGiveNoArchive) {
    std::vector<uint8_t> truncated(m_Packed.begin(), m_Packed.begin() + long(m_Packed.size() / 2));
    std::vector<uint8_t> badSignature = m_Packed;
    badSignature[0] ^= 0xFF;
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"empty", {}},
        {"not an archive", SkinFixture::Bytes("PK\3\4 this is not a 7z archive")},
        {"truncated", truncated},
        {"signature", badSignature},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_FALSE(SkinArchive::OpenMemory(bytes)) << what;
    EXPECT_FALSE(SkinArchive::OpenFile(m_Dir.path() / "missing.7z"));
}

TEST_F(SkinArchiveTest, DamagedDataEndsTheEntriesAtTheFirstFileThatFailsToDecompress) {
    // The packed data starts after the 32-byte signature header; the whole folder is one solid
    // stream, so damage there loses its first file already, and with it every later one.
    std::vector<uint8_t> damaged = m_Packed;
    damaged[32 + 16] ^= 0x55;
    auto archive = SkinArchive::OpenMemory(damaged);
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->entries().empty());
    EXPECT_FALSE(archive->FindEntry(L"mainWnd.xml"));
}

} // namespace
