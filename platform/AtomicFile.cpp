#include "platform/AtomicFile.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {

// Keeps the name short enough that the temporary name still fits NAME_MAX.
constexpr size_t kMaxNameInTemporary = 200;
constexpr mode_t kNewFileMode = 0644;

// umask() can only be read by changing it, which races with other threads creating files;
// the kernel reports it in /proc instead.
mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    }
    return 022;
}

// Owns the temporary file until it has been renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path, int fd) : m_Path(std::move(path)), m_Fd(fd) {}
    ~TemporaryFile() {
        if (m_Fd >= 0)
            ::close(m_Fd);
        if (!m_Path.empty())
            ::unlink(m_Path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return m_Fd; }
    const std::string& path() const { return m_Path; }

    bool close() {
        int fd = m_Fd;
        m_Fd = -1;
        return ::close(fd) == 0;
    }
    void renamed() { m_Path.clear(); }

private:
    std::string m_Path;
    int m_Fd;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

} // namespace

bool ReplaceFileAtomically(const std::wstring& path, std::string_view bytes) {
    const std::string target = NativeText(path);
    const size_t slash = target.rfind('/');
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty())
        return false;
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);

    std::string pattern = folder + "/." + name.substr(0, kMaxNameInTemporary) + ".XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    TemporaryFile temporary(pattern, fd);

    struct stat existing;
    mode_t mode =
        ::stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : kNewFileMode & ~currentUmask();
    if (::fchmod(temporary.fd(), mode) != 0 || !writeAll(temporary.fd(), bytes) ||
        ::fsync(temporary.fd()) != 0 || !temporary.close())
        return false;
    if (::rename(temporary.path().c_str(), target.c_str()) != 0)
        return false;
    temporary.renamed();

    // Makes the rename itself durable. The new content is already in place, so a folder that cannot
    // be synced (some file systems refuse) does not turn the write into a failure.
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

} // namespace Platform
