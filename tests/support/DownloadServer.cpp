#include "tests/support/DownloadServer.h"

#include "tests/support/TestSupport.h"

#include <httplib.h>

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

// Reads the first line the server prints ("PORT <n>"); empty if none arrives before the deadline.
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

DownloadServer::DownloadServer(const std::filesystem::path& root,
                               const std::vector<std::string>& extraArguments) {
    const std::string program = BinPath("download-server").string();
    std::vector<std::string> arguments = {program, "--root", root.string()};
    arguments.insert(arguments.end(), extraArguments.begin(), extraArguments.end());
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
        // A test that crashes must not leave its server running. (The signal follows the thread that
        // started the server: start it from the test's own thread, not from a short-lived one.)
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
        throw std::runtime_error("download-server did not start: '" + line + "'");
    }
}

DownloadServer::~DownloadServer() {
    stop();
}

std::string DownloadServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_Port) + path;
}

void DownloadServer::setFault(const std::string& path, const std::string& faults) {
    httplib::Client client("127.0.0.1", m_Port);
    const httplib::Params query = {{"path", path}, {"faults", faults}};
    auto answer = client.Post(httplib::append_query_params("/_control/fault", query), "", "text/plain");
    if (!answer)
        throw std::runtime_error("download-server unreachable: " + httplib::to_string(answer.error()));
    if (answer->status != 200)
        throw std::runtime_error("download-server refused the fault: " + answer->body);
}

void DownloadServer::reset() {
    httplib::Client client("127.0.0.1", m_Port);
    auto answer = client.Post("/_control/reset");
    if (!answer || answer->status != 200)
        throw std::runtime_error("download-server did not reset");
}

std::vector<std::string> DownloadServer::log() const {
    httplib::Client client("127.0.0.1", m_Port);
    auto answer = client.Get("/_control/log");
    if (!answer || answer->status != 200)
        throw std::runtime_error("download-server did not give its log");
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = answer->body.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(answer->body.substr(start, end - start));
    return lines;
}

int DownloadServer::stop() {
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
