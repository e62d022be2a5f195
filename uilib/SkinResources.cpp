#include "uilib/SkinResources.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace UiLib {

namespace {

std::filesystem::path DiskPath(const std::wstring& text) {
    std::wstring path = text;
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return std::filesystem::path(path);
}

} // namespace

SkinResources& SkinResources::Process() {
    static SkinResources resources;
    return resources;
}

void SkinResources::SetResourcePath(const std::wstring& directory) {
    m_ResourcePath = directory;
    if (!m_ResourcePath.empty() && m_ResourcePath.back() != L'/' && m_ResourcePath.back() != L'\\')
        m_ResourcePath += L'/';
}

void SkinResources::SetMemoryArchive(std::span<const uint8_t> bytes) {
    if (m_ArchiveName == kMemoryArchiveName)
        return;
    m_Archive.reset();
    m_ArchiveName = kMemoryArchiveName;
    m_ArchiveCached = true;
    m_Archive = SkinArchive::OpenMemory(bytes);
}

void SkinResources::SetArchiveFile(const std::wstring& name, bool cached) {
    m_Archive.reset();
    m_ArchiveName = name;
    m_ArchiveCached = cached;
    if (cached && !name.empty())
        m_Archive = OpenArchiveFile();
}

std::unique_ptr<SkinArchive> SkinResources::OpenArchiveFile() const {
    return SkinArchive::OpenFile(DiskPath(m_ResourcePath + m_ArchiveName));
}

const SkinArchive* SkinResources::ArchiveForRead(std::unique_ptr<SkinArchive>& opened) const {
    if (m_ArchiveCached)
        return m_Archive.get();
    opened = OpenArchiveFile();
    return opened.get();
}

SkinResources::FileRead SkinResources::ReadFile(const std::wstring& name) const {
    FileRead result;
    if (m_ArchiveName.empty()) {
        std::filesystem::path path = DiskPath(m_ResourcePath + name);
        std::ifstream in(path, std::ios::binary);
        std::error_code error;
        auto size = std::filesystem::file_size(path, error);
        if (!in || error) {
            result.error = L"Error opening file";
            return result;
        }
        if (size == 0) {
            result.error = L"File is empty";
            return result;
        }
        if (size > kMaxFileSize) {
            result.error = L"File too large";
            return result;
        }
        result.bytes.resize(size);
        if (!in.read(reinterpret_cast<char*>(result.bytes.data()), std::streamsize(size))) {
            result.bytes.clear();
            result.error = L"Could not read file";
        }
        return result;
    }

    std::unique_ptr<SkinArchive> opened;
    const SkinArchive* archive = ArchiveForRead(opened);
    if (!archive) {
        result.error = L"Error opening zip file";
        return result;
    }
    auto found = archive->FindEntry(name);
    if (!found) {
        result.error = L"Could not find ziped file";
        return result;
    }
    if (found->size == 0) {
        result.error = L"File is empty";
        return result;
    }
    if (found->size > kMaxFileSize) {
        result.error = L"File too large";
        return result;
    }
    result.bytes.resize(size_t(found->size));
    if (!archive->ExtractEntry(found->index, result.bytes)) {
        result.bytes.clear();
        result.error = L"Could not unzip file";
    }
    return result;
}

bool SkinResources::ReadArchiveEntry(const std::wstring& name, std::vector<uint8_t>& bytes) const {
    std::unique_ptr<SkinArchive> opened;
    const SkinArchive* archive = ArchiveForRead(opened);
    if (!archive)
        return false;
    auto found = archive->FindEntry(name);
    if (!found)
        return false;
    bytes.resize(size_t(found->size));
    return archive->ExtractEntry(found->index, bytes);
}

} // namespace UiLib
