#include "platform/Shell.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <linux/close_range.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace Platform {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_Fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_Fd; }
    void Close() {
        if (m_Fd >= 0)
            ::close(m_Fd);
        m_Fd = -1;
    }

private:
    int m_Fd;
};

[[noreturn]] void reportAndExit(int statusEnd, int error) {
    ssize_t ignored = ::write(statusEnd, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

// Runs between fork and exec, so only async-signal-safe calls: everything it needs is prepared by the
// caller.
[[noreturn]] void execDetached(const char* path, char* const* argv, const char* directory, int statusEnd) {
    // The installer's handled or ignored signals and its blocked mask are not the program's business.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signal = 1; signal < NSIG; ++signal)
        ::signal(signal, SIG_DFL);
    // Descriptors the installer left inheritable (pipes of its own children) must not leak into a
    // program that may run for hours. Older kernels lack close_range; then they stay.
    ::close_range(3, ~0u, CLOSE_RANGE_CLOEXEC);

    int null = ::open("/dev/null", O_RDWR);
    if (null < 0)
        reportAndExit(statusEnd, errno);
    for (int standard = 0; standard <= 2; ++standard)
        if (null != standard && ::dup2(null, standard) < 0)
            reportAndExit(statusEnd, errno);
    if (null > 2)
        ::close(null);
    if (directory && ::chdir(directory) != 0)
        reportAndExit(statusEnd, errno);
    ::execv(path, argv);
    reportAndExit(statusEnd, errno);
}

// Double fork: the intermediate child starts a new session, forks the program and exits at once, so
// the program is adopted by init and nobody has to wait for it. A close-on-exec pipe tells whether the
// exec happened: it reaches end of file without data exactly when it did.
bool spawnDetached(const std::string& path, std::vector<std::string> arguments,
                   const std::string& directory) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const char* workingDirectory = directory.empty() ? nullptr : directory.c_str();

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    Descriptor statusRead(ends[0]), statusWrite(ends[1]);

    pid_t middle = ::fork();
    if (middle < 0)
        return false;
    if (middle == 0) {
        ::setsid();
        pid_t program = ::fork();
        if (program < 0)
            reportAndExit(statusWrite.Get(), errno);
        if (program == 0)
            execDetached(path.c_str(), argv.data(), workingDirectory, statusWrite.Get());
        _exit(0);
    }
    statusWrite.Close();
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }

    int error = 0;
    ssize_t n;
    while ((n = ::read(statusRead.Get(), &error, sizeof error)) < 0 && errno == EINTR) {
    }
    return n == 0;
}

bool isRunnableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Resolved before forking, as searching PATH in the child would not be async-signal-safe.
std::string findOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        // An empty entry would mean the current directory: not a place to take a handler from.
        std::string folder = folders.substr(start, end - start);
        if (!folder.empty() && isRunnableFile(folder + "/" + name))
            return folder + "/" + name;
        start = end + 1;
    }
    return {};
}

} // namespace

void OpenDocument(const std::wstring& urlOrPath) {
    std::string opener = findOnPath("xdg-open");
    if (!opener.empty())
        spawnDetached(opener, {opener, NativeText(urlOrPath)}, {});
}

bool StartProgram(const std::wstring& program, const std::wstring& workingDirectory) {
    if (program.empty())
        return false;
    // Made absolute first: the child changes its directory before the exec.
    std::error_code error;
    std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::path(NativeText(program)), error);
    if (error)
        return false;
    std::string path = absolute.string();
    std::string directory =
        workingDirectory.empty() ? absolute.parent_path().string() : NativeText(workingDirectory);
    return spawnDetached(path, {path}, directory);
}

} // namespace Platform
