#include "tools/download-server/FileReader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DownloadServer {

FileReader::FileReader(const std::filesystem::path& path) {
    m_Fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (m_Fd >= 0 && (::fstat(m_Fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(m_Fd);
        m_Fd = -1;
    }
    if (m_Fd >= 0)
        m_Size = static_cast<std::uint64_t>(info.st_size);
}

FileReader::~FileReader() {
    if (m_Fd >= 0)
        ::close(m_Fd);
}

long FileReader::readAt(std::uint64_t offset, char* buffer, std::size_t count) const {
    ssize_t got;
    do {
        got = ::pread(m_Fd, buffer, count, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

} // namespace DownloadServer
