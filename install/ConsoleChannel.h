#pragma once

#include "utils/PipedProcess.h"

#include <cstddef>
#include <string>

// The standard output of a launched child, read in chunks until it ends.
class ConsoleChannel {
public:
    static constexpr size_t kChunkSize = 1024;
    // How often the child's state is looked at while it writes nothing.
    static constexpr int kRoundMilliseconds = 100;

    explicit ConsoleChannel(Utils::PipedProcess& process) : m_Process(process) {}

    // The next chunk of at most kChunkSize bytes, as soon as any arrives. False once the output has
    // ended: every writer has closed it, or the child has ended and a whole round brought nothing
    // more. The second case ends the reading when a process the child started still holds the pipe,
    // which would otherwise keep the runner (and the installer's shutdown) waiting for it.
    bool Read(std::string& chunk);

private:
    Utils::PipedProcess& m_Process;
    bool m_ChildEnded = false;
};
