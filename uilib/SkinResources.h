#pragma once

#include "uilib/SkinArchive.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace UiLib {

// Where layouts and pictures come from: a folder on disk, or a 7z skin package (in memory or as a
// file). The process has one set (Process()), shared by all its windows and touched only from the
// thread that creates and paints them.
class SkinResources {
public:
    static SkinResources& Process();

    // The archive name that marks a package held in memory.
    static constexpr const wchar_t* kMemoryArchiveName = L"membuffer";
    // Larger files are refused when read whole.
    static constexpr size_t kMaxFileSize = 4194304;

    // Kept with a trailing "/" unless empty.
    void SetResourcePath(const std::wstring& directory);
    const std::wstring& ResourcePath() const { return m_ResourcePath; }

    // Opens the package once per process: while the archive name is already the memory archive's,
    // later calls change nothing. An unreadable package leaves no archive, and then every read
    // from it fails with "Error opening zip file".
    void SetMemoryArchive(std::span<const uint8_t> bytes);

    // A package on disk, relative to the resource path. `cached`: opened now and kept; otherwise
    // opened for each read and released after it.
    void SetArchiveFile(const std::wstring& name, bool cached);

    const std::wstring& ArchiveName() const { return m_ArchiveName; }
    bool ArchiveCached() const { return m_ArchiveCached; }
    // The cached archive, or null.
    const SkinArchive* Archive() const { return m_Archive.get(); }

    struct FileRead {
        std::vector<uint8_t> bytes;
        std::wstring error; // empty on success
        bool ok() const { return error.empty(); }
    };
    // A whole file for the layout loader: from the archive when one is named, otherwise from the
    // resource path. "\" in `name` counts as "/". Errors are the texts the layout document reports.
    FileRead ReadFile(const std::wstring& name) const;

    // The entry's bytes from the archive (cached, or opened for this call); false when there is no
    // archive or no such entry. Used for pictures, which report no error texts.
    bool ReadArchiveEntry(const std::wstring& name, std::vector<uint8_t>& bytes) const;

private:
    std::unique_ptr<SkinArchive> OpenArchiveFile() const;
    const SkinArchive* ArchiveForRead(std::unique_ptr<SkinArchive>& opened) const;

    std::wstring m_ResourcePath;
    std::wstring m_ArchiveName;
    bool m_ArchiveCached = false;
    std::unique_ptr<SkinArchive> m_Archive;
};

} // namespace UiLib
