#include "utils/HardDiskManager.h"

#include "platform/KnownFolders.h"
#include "platform/TextCodec.h"
#include "utils/DebugLog.h"
#include "utils/Folders.h"

#include <cerrno>
#include <sys/statvfs.h>

namespace Utils {

bool HardDiskManager::CheckFreeSpace(const std::wstring& path) {
    // The folder to be created need not exist yet: ask about the deepest one that does.
    std::wstring existing = path;
    while (!existing.empty() && !DirectoryExists(existing))
        existing = Platform::DirectoryOf(existing);
    struct statvfs info {};
    if (existing.empty() || statvfs(Platform::NativeText(existing).c_str(), &info) != 0) {
        long code = existing.empty() ? ENOENT : errno;
        UTILS_LOG(L"HardDiskManager::CheckFreeSpace FAIL code=%ld\r\n", code);
        return false;
    }
    m_FreeBytesAvailable = static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
    m_TotalBytes = static_cast<uint64_t>(info.f_blocks) * info.f_frsize;
    m_TotalFreeBytes = static_cast<uint64_t>(info.f_bfree) * info.f_frsize;
    return true;
}

} // namespace Utils
