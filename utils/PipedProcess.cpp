#include "utils/PipedProcess.h"

#include "platform/TextCodec.h"
#include "utils/DebugLog.h"
#include "utils/Exception.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Utils {
namespace {

struct SpawnActions {
    posix_spawn_file_actions_t value;
    SpawnActions() { posix_spawn_file_actions_init(&value); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&value); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
};

struct SpawnAttributes {
    posix_spawnattr_t value;
    SpawnAttributes() { posix_spawnattr_init(&value); }
    ~SpawnAttributes() { posix_spawnattr_destroy(&value); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

// A child end that sits on descriptor 0, 1 or 2 (this process was started without standard streams)
// could be overwritten by an earlier dup2 of the file actions, or stay close-on-exec when moved onto
// itself; such an end is given to the child through a temporary copy above 2.
class LiftedEnd {
public:
    explicit LiftedEnd(int end) : m_Descriptor(end) {
        if (end >= 0 && end <= STDERR_FILENO)
            m_Descriptor = m_Copy = fcntl(end, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    }
    ~LiftedEnd() {
        if (m_Copy >= 0)
            ::close(m_Copy);
    }
    LiftedEnd(const LiftedEnd&) = delete;
    LiftedEnd& operator=(const LiftedEnd&) = delete;

    int Descriptor() const { return m_Descriptor; }

private:
    int m_Descriptor;
    int m_Copy = -1;
};

size_t readSome(int end, char* buffer, size_t size) {
    if (end < 0 || size == 0)
        return 0;
    while (true) {
        ssize_t n = ::read(end, buffer, size);
        if (n >= 0)
            return static_cast<size_t>(n);
        if (errno != EINTR)
            return 0;
    }
}

} // namespace

PipedProcess::PipedProcess() = default;

PipedProcess::~PipedProcess() {
    Close();
}

void PipedProcess::Launch(const std::wstring& commandLine, const std::vector<std::wstring>& arguments) {
    if (commandLine.size() > kMaxCommandLine) {
        UTILS_LOG(L"command line of %zu characters refused\r\n", commandLine.size());
        throw Exception(L"command line longer than 1023 characters");
    }
    if (m_ProcessId != 0)
        throw Exception(L"process already launched");
    m_CommandLine = commandLine;
    if (arguments.empty())
        throw Exception(L"no program to launch");

    std::vector<std::string> nativeArguments;
    nativeArguments.reserve(arguments.size());
    for (const auto& argument : arguments)
        nativeArguments.push_back(Platform::NativeText(argument));
    std::vector<char*> argv;
    for (auto& argument : nativeArguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    LiftedEnd input(m_InputPipe.ReadEnd());
    LiftedEnd output(m_OutputPipe.WriteEnd());
    LiftedEnd error(m_ErrorPipe.WriteEnd());
    SpawnActions actions;
    int result = posix_spawn_file_actions_adddup2(&actions.value, input.Descriptor(), STDIN_FILENO);
    if (result == 0)
        result = posix_spawn_file_actions_adddup2(&actions.value, output.Descriptor(), STDOUT_FILENO);
    if (result == 0)
        result = posix_spawn_file_actions_adddup2(&actions.value, error.Descriptor(), STDERR_FILENO);

    // The child starts with default signal handling and nothing blocked: an ignored signal (SIGPIPE
    // above all) would otherwise stay ignored through exec.
    SpawnAttributes attributes;
    sigset_t noSignals;
    sigset_t allSignals;
    sigemptyset(&noSignals);
    sigfillset(&allSignals);
    if (result == 0)
        result = posix_spawnattr_setsigmask(&attributes.value, &noSignals);
    if (result == 0)
        result = posix_spawnattr_setsigdefault(&attributes.value, &allSignals);
    if (result == 0)
        result = posix_spawnattr_setflags(&attributes.value, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    if (result == 0)
        result = posix_spawnp(&pid, argv[0], &actions.value, &attributes.value, argv.data(), environ);
    if (result != 0) {
        UTILS_LOG(L"cannot start %ls: error %d\r\n", arguments[0].c_str(), result);
        throw Exception();
    }
    m_ProcessId = pid;
    // Only the child may hold these now, so reading the output ends when the child and its
    // descendants have closed it, and the child sees the end of its input when we close ours.
    m_OutputPipe.CloseWrite();
    m_ErrorPipe.CloseWrite();
    m_InputPipe.CloseRead();
}

size_t PipedProcess::ReadOutput(char* buffer, size_t size) {
    return readSome(OutputReadEnd(), buffer, size);
}

size_t PipedProcess::ReadError(char* buffer, size_t size) {
    return readSome(ErrorReadEnd(), buffer, size);
}

void PipedProcess::CloseInput() {
    m_InputPipe.CloseWrite();
}

uint32_t PipedProcess::ExitCode() {
    if (m_ProcessId == 0)
        return kNoExitCode;
    return reap(false) ? m_ExitCode : kStillActive;
}

uint32_t PipedProcess::Wait() {
    if (m_ProcessId == 0)
        return kNoExitCode;
    reap(true);
    return m_ExitCode;
}

void PipedProcess::Close() {
    m_InputPipe.Close();
    m_OutputPipe.Close();
    m_ErrorPipe.Close();
    if (m_ProcessId != 0)
        reap(false);
}

bool PipedProcess::reap(bool block) {
    if (m_Reaped)
        return true;
    int status = 0;
    pid_t result;
    do
        result = waitpid(m_ProcessId, &status, block ? 0 : WNOHANG);
    while (result < 0 && errno == EINTR);
    if (result == 0)
        return false;
    m_Reaped = true;
    if (result < 0) {
        // Collected elsewhere (SIGCHLD ignored, or a stray wait): ended, status unknown.
        UTILS_LOG(L"waitpid %d failed: %d\r\n", static_cast<int>(m_ProcessId), errno);
        m_ExitCode = kNoExitCode;
    } else if (WIFEXITED(status)) {
        m_ExitCode = static_cast<uint32_t>(WEXITSTATUS(status));
    } else if (WIFSIGNALED(status)) {
        m_ExitCode = 128u + static_cast<uint32_t>(WTERMSIG(status));
    }
    return true;
}

} // namespace Utils
