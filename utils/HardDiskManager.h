#pragma once

#include <cstdint>
#include <string>

namespace Utils {

// Free space on the file system that holds a path.
class HardDiskManager {
public:
    virtual ~HardDiskManager() = default;

    // Fills the three figures for the deepest existing folder on `path`; false (figures unchanged)
    // when the file system cannot be asked.
    bool CheckFreeSpace(const std::wstring& path);

    uint64_t m_FreeBytesAvailable{0}; // available to this user
    uint64_t m_TotalBytes{0};
    uint64_t m_TotalFreeBytes{0};
};

} // namespace Utils
