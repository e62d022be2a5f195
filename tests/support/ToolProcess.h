#pragma once

#include <string>
#include <vector>

namespace TestSupport {

// One of our tools from build/bin run as a child process for the life of this object. The tool listens
// on an ephemeral port of 127.0.0.1 and prints "PORT <n>" as its first line; it is stopped with SIGTERM.
class ToolProcess {
public:
    // `arguments` follow the program name. Throws std::runtime_error when the tool announces no port.
    ToolProcess(const std::string& tool, std::vector<std::string> arguments);
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    int port() const { return m_Port; }

    // Stops the tool and returns its exit status (0 for a clean stop); later calls return it again.
    int stop();

private:
    int m_Pid{-1};
    int m_Port{0};
    int m_ExitStatus{-1};
};

} // namespace TestSupport
