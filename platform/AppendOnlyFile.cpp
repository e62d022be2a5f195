#include "platform/AppendOnlyFile.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace Platform {

AppendOnlyFile::AppendOnlyFile(const std::wstring& path) {
    m_Descriptor = open(NativeText(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
}

AppendOnlyFile::~AppendOnlyFile() {
    if (m_Descriptor >= 0)
        close(m_Descriptor);
}

bool AppendOnlyFile::Append(const char* data, size_t size) noexcept {
    if (m_Descriptor < 0)
        return false;
    const int savedErrno = errno; // the interrupted code may be about to read it
    bool complete = true;
    while (size > 0) {
        ssize_t written = write(m_Descriptor, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            complete = false;
            break;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    errno = savedErrno;
    return complete;
}

} // namespace Platform
