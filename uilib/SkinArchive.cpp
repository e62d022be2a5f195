#include "uilib/SkinArchive.h"

#include "uilib/TextCase.h"
#include "utils/TextConversion.h"

#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <cwctype>
#include <fstream>
#include <iterator>

namespace UiLib {

namespace {

constexpr unsigned kUtf8 = 65001;

struct ArchiveCloser {
    void operator()(archive* reader) const { archive_read_free(reader); }
};
using ArchiveReader = std::unique_ptr<archive, ArchiveCloser>;

std::wstring WithSlashes(std::wstring_view name) {
    std::wstring result(name);
    std::replace(result.begin(), result.end(), L'\\', L'/');
    return result;
}

// Reads the current entry to its end; false when decompression fails or the data does not have the
// size the header gave. Chunked, so a damaged header claiming a huge size allocates nothing up front.
bool ReadBytes(archive* reader, std::vector<uint8_t>& bytes, uint64_t size) {
    uint8_t chunk[65536];
    for (;;) {
        la_ssize_t got = archive_read_data(reader, chunk, sizeof chunk);
        if (got < 0)
            return false;
        if (got == 0)
            return bytes.size() == size;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

} // namespace

std::unique_ptr<SkinArchive> SkinArchive::OpenMemory(std::span<const uint8_t> bytes) {
    ArchiveReader reader(archive_read_new());
    if (!reader || archive_read_support_format_7zip(reader.get()) != ARCHIVE_OK ||
        archive_read_open_memory(reader.get(), bytes.data(), bytes.size()) != ARCHIVE_OK)
        return nullptr;

    auto skin = std::make_unique<SkinArchive>();
    archive_entry* header = nullptr;
    for (size_t index = 0;; ++index) {
        int status = archive_read_next_header(reader.get(), &header);
        if (status == ARCHIVE_EOF)
            break;
        if (status < ARCHIVE_WARN) {
            // A 7z archive whose header cannot be read is not an archive at all; a failure after
            // some entries is a damaged one, of which the readable part is kept.
            if (index == 0)
                return nullptr;
            break;
        }
        if (archive_entry_filetype(header) == AE_IFDIR)
            continue;
        const char* name = archive_entry_pathname_utf8(header);
        Entry entry;
        entry.path = WithSlashes(Utils::ToWide(name ? name : "", kUtf8));
        entry.pathLength = entry.path.size() + 1;
        entry.index = index;
        entry.size = uint64_t(std::max<la_int64_t>(archive_entry_size(header), 0));
        if (!ReadBytes(reader.get(), entry.bytes, entry.size))
            break;
        skin->m_Entries.push_back(std::move(entry));
    }
    return skin;
}

std::unique_ptr<SkinArchive> SkinArchive::OpenFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return nullptr;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return OpenMemory(bytes);
}

std::optional<SkinArchive::Found> SkinArchive::FindEntry(std::wstring_view name) const {
    std::wstring wanted = WithSlashes(name);
    for (size_t i = 0; i < m_Entries.size(); ++i) {
        const Entry& entry = m_Entries[i];
        if (entry.pathLength == wanted.size() + 1 &&
            EqualsIgnoringCase(wanted, std::wstring_view(entry.path).substr(0, wanted.size())))
            return Found{i, entry.size};
    }
    return std::nullopt;
}

bool SkinArchive::ExtractEntry(size_t index, std::span<uint8_t> buffer) const {
    if (index >= m_Entries.size() || buffer.size() != m_Entries[index].bytes.size())
        return false;
    std::copy(m_Entries[index].bytes.begin(), m_Entries[index].bytes.end(), buffer.begin());
    return true;
}

} // namespace UiLib
