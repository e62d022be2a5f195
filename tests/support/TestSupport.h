#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

// A fresh directory under the suite's private temporary root, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_Path; }
    std::wstring wide() const { return m_Path.wstring(); }

private:
    std::filesystem::path m_Path;
};

std::string ReadFile(const std::filesystem::path& path);
// Width and height from a PNG file's header; (0, 0) when it is none.
std::pair<unsigned, unsigned> PngSize(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// The newline-terminated lines of `text`, without their newlines (an unfinished last line is left out).
std::vector<std::string> SplitLines(const std::string& text);

// Polls `condition` until it holds or the deadline passes; returns its last answer.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::seconds(10));

// Runs `body` with standard error sent to a file and returns what was written meanwhile.
std::string CaptureStandardError(const std::function<void()>& body);

// A program built into build/bin.
std::filesystem::path BinPath(const std::string& program);

// Output of a shell command and its exit status.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult RunCommand(const std::string& command);

} // namespace TestSupport
