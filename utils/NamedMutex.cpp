#include "utils/NamedMutex.h"

#include "platform/TextCodec.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Utils {
namespace {

std::string lockPath(const std::wstring& kernelName) {
    std::string name = Platform::NativeText(kernelName);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/" + name + ".lock";
    return "/tmp/" + name + "-" + std::to_string(getuid()) + ".lock";
}

} // namespace

void NamedMutex::Acquire() {
    if (Held())
        return;
    int fd = open(lockPath(KernelName()).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return;
    }
    m_Handle = fd;
}

void NamedMutex::Release() {
    if (!Held())
        return;
    close(m_Handle);
    m_Handle = -1;
}

} // namespace Utils
