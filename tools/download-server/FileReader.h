#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace DownloadServer {

// An open file read at any offset, so that concurrent answers never share a file position.
class FileReader {
public:
    explicit FileReader(const std::filesystem::path& path);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool isOpen() const { return m_Fd >= 0; }
    std::uint64_t size() const { return m_Size; }

    // Reads up to `count` bytes at `offset`; the number read, 0 at the end, -1 on error.
    long readAt(std::uint64_t offset, char* buffer, std::size_t count) const;

private:
    int m_Fd{-1};
    std::uint64_t m_Size{0};
};

} // namespace DownloadServer
