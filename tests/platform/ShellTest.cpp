#include "platform/Shell.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Platform;
using TestSupport::ReadFile;
using TestSupport::TempDir;
using TestSupport::WaitUntil;
using TestSupport::WriteFile;

namespace {

void writeScript(const std::filesystem::path& path, const std::string& body) {
    WriteFile(path, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
}

// The marker is renamed into place, so a reader never sees it half-written.
std::string reportTo(const std::filesystem::path& marker) {
    return "streams=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2)\n"
           "{ echo \"pid $$\"; pwd; echo \"$streams\"; } > '" +
           marker.string() + ".tmp' && mv '" + marker.string() + ".tmp' '" + marker.string() + "'\n";
}

// Fields of /proc/<pid>/stat after the command name: state, parent, group, session.
struct ProcessFacts {
    pid_t parent = 0;
    pid_t session = 0;
};

ProcessFacts factsOf(pid_t pid) {
    std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    char state;
    ProcessFacts facts;
    pid_t group;
    fields >> state >> facts.parent >> group >> facts.session;
    return facts;
}

} // namespace

TEST(ShellTest, StartProgramRunsDetachedWithNullStreams) {
    TempDir dir;
    TempDir elsewhere;
    auto marker = dir.path() / "marker";
    auto keep = dir.path() / "keep";
    // Stays up while the test looks at it (and never beyond ten seconds).
    writeScript(dir.path() / "product", reportTo(marker) + "n=0; while [ -e '" + keep.string() +
                                            "' ] && [ $n -lt 500 ]; do sleep 0.02; n=$((n+1)); done\n");

    struct Case {
        std::wstring workingDirectory;
        std::filesystem::path expected;
    };
    for (const Case& c : {Case{L"", dir.path()}, Case{elsewhere.wide(), elsewhere.path()}}) {
        std::filesystem::remove(marker);
        WriteFile(keep, "");
        ASSERT_TRUE(StartProgram((dir.path() / "product").wstring(), c.workingDirectory));
        // The intermediate process has been waited for: nothing is left for us to reap.
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD);

        ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }));
        std::istringstream report(ReadFile(marker));
        std::string word, cwd, in, out, err;
        pid_t pid = 0;
        report >> word >> pid >> cwd >> in >> out >> err;
        EXPECT_EQ(cwd, c.expected.string());
        EXPECT_EQ(in, "/dev/null");
        EXPECT_EQ(out, "/dev/null");
        EXPECT_EQ(err, "/dev/null");
        ProcessFacts facts = factsOf(pid);
        EXPECT_NE(facts.parent, getpid());
        EXPECT_NE(facts.session, getsid(0));
        std::filesystem::remove(keep);
    }
}

TEST(ShellTest, StartProgramReportsWhatCannotStart) {
    TempDir dir;
    WriteFile(dir.path() / "plain", "#!/bin/sh\ntouch '" + (dir.path() / "ran").string() + "'\n");
    chmod((dir.path() / "plain").c_str(), 0644);
    writeScript(dir.path() / "runnable", "exit 0\n");

    EXPECT_FALSE(StartProgram(L"", L""));
    EXPECT_FALSE(StartProgram((dir.path() / "missing").wstring(), L""));
    EXPECT_FALSE(StartProgram((dir.path() / "plain").wstring(), L""));
    EXPECT_FALSE(
        StartProgram((dir.path() / "runnable").wstring(), (dir.path() / "no-such-folder").wstring()));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "ran"));
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

TEST(ShellTest, StartProgramAcceptsARelativePathWithAnotherWorkingDirectory) {
    TempDir dir;
    TempDir elsewhere;
    auto marker = dir.path() / "marker";
    writeScript(dir.path() / "product", reportTo(marker));
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    bool started = StartProgram(L"./product", elsewhere.wide());
    std::filesystem::current_path(previous);
    ASSERT_TRUE(started);
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(marker); }));
    EXPECT_NE(ReadFile(marker).find(elsewhere.path().string() + "\n"), std::string::npos);
}

TEST(ShellTest, OpenDocumentHandsTheTextToXdgOpen) {
    TempDir bin;
    auto record = bin.path() / "opened";
    writeScript(bin.path() / "xdg-open", "printf '%s|%s\\n' \"$#\" \"$1\" > '" + record.string() +
                                             ".tmp' && mv '" + record.string() + ".tmp' '" + record.string() +
                                             "'\n");
    std::string previous = std::getenv("PATH");
    setenv("PATH", (bin.path().string() + ":" + previous).c_str(), 1);
    OpenDocument(L"https://example.com/a b?q=安装&x=\"y\"");
    setenv("PATH", previous.c_str(), 1);

    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(record); }));
    EXPECT_EQ(ReadFile(record), "1|https://example.com/a b?q=安装&x=\"y\"\n");
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}
