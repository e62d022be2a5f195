#include "install/ConsoleChannel.h"

#include "utils/WaitReadable.h"

bool ConsoleChannel::Read(std::string& chunk) {
    while (!Utils::WaitReadable(m_Process.OutputReadEnd(), kRoundMilliseconds)) {
        if (m_ChildEnded)
            return false;
        m_ChildEnded = m_Process.ExitCode() != Utils::PipedProcess::kStillActive;
    }
    char buffer[kChunkSize];
    size_t size = m_Process.ReadOutput(buffer, sizeof buffer);
    if (size == 0)
        return false;
    chunk.assign(buffer, size);
    return true;
}
