#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace UiLib {

// A 7z skin package opened once and kept whole in memory: every file is decompressed when the
// archive is opened, so later lookups are a scan and reads are copies.
class SkinArchive {
public:
    struct Entry {
        std::wstring path;     // as stored, with "/" separators
        size_t pathLength = 0; // characters including the terminating NUL, checked before comparing names
        size_t index = 0;      // position in the archive, counting directories too
        uint64_t size = 0;
        std::vector<uint8_t> bytes;
    };

    struct Found {
        size_t index = 0; // into entries()
        uint64_t size = 0;
    };

    // Null when the bytes are not a readable 7z archive. A file that fails to decompress ends the
    // reading: the entries before it stay usable, the ones after it are missing. The bytes need
    // not outlive the call.
    static std::unique_ptr<SkinArchive> OpenMemory(std::span<const uint8_t> bytes);
    static std::unique_ptr<SkinArchive> OpenFile(const std::filesystem::path& path);

    // The first entry whose path equals `name` without regard to case, "\" counting as "/".
    std::optional<Found> FindEntry(std::wstring_view name) const;

    // Copies entry `index` of entries() into `buffer`, which must hold its size; false when the
    // index or the buffer's size is wrong.
    bool ExtractEntry(size_t index, std::span<uint8_t> buffer) const;

    const std::vector<Entry>& entries() const { return m_Entries; }

private:
    std::vector<Entry> m_Entries;
};

} // namespace UiLib
