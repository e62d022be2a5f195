#include "tests/support/ToolProcess.h"

#include "tests/support/TestSupport.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TestSupport {
namespace {

constexpr int kStartDeadlineMs = 10'000;

// Reads the first line the tool prints ("PORT <n>"); empty if none arrives before the deadline.
std::string ReadFirstLine(int fd) {
    std::string line;
    char c;
    while (line.find('\n') == std::string::npos) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, kStartDeadlineMs) <= 0 || read(fd, &c, 1) != 1)
            return {};
        line += c;
    }
    return line;
}

} // namespace

ToolProcess::ToolProcess(const std::string& tool, std::vector<std::string> arguments) {
    const std::string program = BinPath(tool).string();
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        // A test that crashes must not leave its tool running. (The signal follows the thread that
        // started the tool: start it from the test's own thread, not from a short-lived one.)
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        dup2(output[1], STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(output[1]);
    if (pid < 0) {
        close(output[0]);
        throw std::runtime_error("fork failed");
    }
    m_Pid = pid;
    const std::string line = ReadFirstLine(output[0]);
    close(output[0]);
    if (!line.starts_with("PORT ") || (m_Port = std::atoi(line.c_str() + 5)) <= 0) {
        stop();
        throw std::runtime_error(tool + " did not start: '" + line + "'");
    }
}

ToolProcess::~ToolProcess() {
    stop();
}

int ToolProcess::stop() {
    if (m_Pid > 0) {
        kill(m_Pid, SIGTERM);
        int status = 0;
        while (waitpid(m_Pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        m_Pid = -1;
    }
    return m_ExitStatus;
}

} // namespace TestSupport
