#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace TestSupport {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::path(std::getenv("TMPDIR")) / "t.XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_Path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_Path, ignored);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string CaptureStandardError(const std::function<void()>& body) {
    TempDir dir;
    auto path = dir.path() / "stderr";
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int saved = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);
    body();
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(file);
    return ReadFile(path);
}

std::filesystem::path BinPath(const std::string& program) {
    return std::filesystem::path(TOVACLIP_BIN_DIR) / program;
}

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::pair<unsigned, unsigned> PngSize(const std::filesystem::path& path) {
    const std::string bytes = ReadFile(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    auto word = [&](size_t at) {
        unsigned value = 0;
        for (size_t i = at; i < at + 4; ++i)
            value = value << 8 | static_cast<unsigned char>(bytes[i]);
        return value;
    };
    return {word(16), word(20)};
}

} // namespace TestSupport
