#include "utils/Pipe.h"

#include "utils/DebugLog.h"
#include "utils/Exception.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace Utils {
namespace {

void closeEnd(int& end) {
    if (end >= 0) {
        // Linux releases the descriptor even when close reports EINTR, so it is never retried.
        ::close(end);
        end = -1;
    }
}

} // namespace

Pipe::Pipe() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        UTILS_LOG(L"pipe2 failed: %d\r\n", errno);
        throw Exception();
    }
    m_ReadEnd = ends[0];
    m_WriteEnd = ends[1];
}

Pipe::~Pipe() {
    Close();
}

Pipe::Pipe(Pipe&& other) noexcept
    : m_WriteEnd(std::exchange(other.m_WriteEnd, -1)), m_ReadEnd(std::exchange(other.m_ReadEnd, -1)) {}

Pipe& Pipe::operator=(Pipe&& other) noexcept {
    if (this != &other) {
        Close();
        m_WriteEnd = std::exchange(other.m_WriteEnd, -1);
        m_ReadEnd = std::exchange(other.m_ReadEnd, -1);
    }
    return *this;
}

void Pipe::CloseRead() {
    closeEnd(m_ReadEnd);
}

void Pipe::CloseWrite() {
    closeEnd(m_WriteEnd);
}

void Pipe::Close() {
    CloseWrite();
    CloseRead();
}

} // namespace Utils
