#include "utils/PipedProcess.h"

#include "platform/TextCodec.h"
#include "tests/support/TestSupport.h"
#include "utils/Exception.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Everything readable from `end` until its end of stream. A stream that does not end within the
// deadline (a leaked write end) fails the test instead of hanging it.
std::string readToEnd(int end, std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
    std::string text;
    auto stop = std::chrono::steady_clock::now() + deadline;
    while (true) {
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(stop - std::chrono::steady_clock::now());
        pollfd wanted{end, POLLIN, 0};
        if (left.count() <= 0 || poll(&wanted, 1, static_cast<int>(left.count())) == 0) {
            ADD_FAILURE() << "stream did not end; read so far: " << text;
            return text;
        }
        char buffer[256];
        ssize_t n = read(end, buffer, sizeof buffer);
        if (n <= 0)
            return text;
        text.append(buffer, static_cast<size_t>(n));
    }
}

const std::wstring kScript = L"printf hello; echo err >&2; exit 3";

} // namespace

TEST(PipedProcess, ChildOutputErrorAndExitCodeComeThroughThePipes) {
    Utils::PipedProcess process;
    std::wstring commandLine = L"/bin/sh -c \"" + kScript + L"\"";
    process.Launch(commandLine, {L"/bin/sh", L"-c", kScript});

    EXPECT_EQ(process.CommandLine(), commandLine);
    EXPECT_GT(process.ProcessId(), 0u);
    EXPECT_EQ(readToEnd(process.OutputReadEnd()), "hello");
    EXPECT_EQ(readToEnd(process.ErrorReadEnd()), "err\n");
    EXPECT_EQ(process.Wait(), 3u);
    EXPECT_EQ(process.ExitCode(), 3u) << "the status is remembered once collected";
    EXPECT_EQ(process.Wait(), 3u);

    process.Close();
    EXPECT_EQ(process.OutputReadEnd(), -1);
    EXPECT_EQ(process.ErrorReadEnd(), -1);
    EXPECT_EQ(process.InputWriteEnd(), -1);
}

TEST(PipedProcess, InputReachesTheChildAndClosingItEndsTheChildsInput) {
    Utils::PipedProcess process;
    process.Launch(L"cat", {L"cat"}); // found on PATH
    std::string text = "line one\n\xe5\xae\x89\xe8\xa3\x85\n";
    ASSERT_EQ(write(process.InputWriteEnd(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
    process.CloseInput();
    EXPECT_EQ(process.InputWriteEnd(), -1);

    std::string echoed;
    char buffer[4];
    while (size_t n = process.ReadOutput(buffer, sizeof buffer))
        echoed.append(buffer, n);
    EXPECT_EQ(echoed, text);
    EXPECT_EQ(process.Wait(), 0u);
}

TEST(PipedProcess, CommandLineIsLimitedTo1023Characters) {
    for (size_t length : {size_t{1023}, size_t{1024}, size_t{4000}}) {
        Utils::PipedProcess process;
        std::wstring commandLine = L"/bin/true " + std::wstring(length - 10, L'x');
        ASSERT_EQ(commandLine.size(), length);
        if (length <= 1023) {
            process.Launch(commandLine, {L"/bin/true"});
            EXPECT_EQ(process.CommandLine(), commandLine);
            EXPECT_EQ(process.Wait(), 0u);
        } else {
            EXPECT_THROW(process.Launch(commandLine, {L"/bin/true"}), Utils::Exception) << length;
            EXPECT_EQ(process.ProcessId(), 0u) << "nothing was started";
            EXPECT_GE(process.OutputReadEnd(), 0);
        }
    }
}

TEST(PipedProcess, ProgramThatCannotStartThrowsAndLeavesThePipesForClose) {
    TestSupport::TempDir dir;
    auto notExecutable = dir.path() / "setup.bin";
    TestSupport::WriteFile(notExecutable, "not a program");
    std::vector<std::vector<std::wstring>> calls = {
        {L"/nonexistent/TovaclipSetup"},
        {L"tovaclip-no-such-program", L"-s"},
        {notExecutable.wstring()},
    };
    for (const auto& arguments : calls) {
        Utils::PipedProcess process;
        try {
            process.Launch(arguments[0], arguments);
            ADD_FAILURE() << "started " << Platform::NativeText(arguments[0]);
        } catch (const Utils::Exception& error) {
            EXPECT_STREQ(error.what(), "");
        }
        EXPECT_EQ(process.ProcessId(), 0u);
        EXPECT_GE(process.OutputReadEnd(), 0);
        EXPECT_GE(process.ErrorReadEnd(), 0);
        EXPECT_GE(process.InputWriteEnd(), 0);
        process.Close();
        EXPECT_EQ(process.OutputReadEnd(), -1);
    }

    Utils::PipedProcess process;
    EXPECT_THROW(process.Launch(L"", {}), Utils::Exception);
}

TEST(PipedProcess, RunningChildIsStillActiveAndAKilledOneReportsItsSignal) {
    Utils::PipedProcess process;
    process.Launch(L"sleep 30", {L"/bin/sleep", L"30"});
    EXPECT_EQ(process.ExitCode(), Utils::PipedProcess::kStillActive);

    // Closing the pipes leaves the child running.
    process.Close();
    EXPECT_EQ(kill(static_cast<pid_t>(process.ProcessId()), 0), 0);
    EXPECT_EQ(process.ExitCode(), Utils::PipedProcess::kStillActive);

    kill(static_cast<pid_t>(process.ProcessId()), SIGKILL);
    EXPECT_EQ(process.Wait(), 128u + SIGKILL);
    EXPECT_EQ(process.ExitCode(), 128u + SIGKILL);
}

TEST(PipedProcess, WorksWhenThisProcessHasNoStandardInputOrOutput) {
    // With descriptors 0 and 1 free the error pipe lands on them; the child's streams must still be
    // the right pipes. The descriptors come back only once the process object is gone (restoring them
    // earlier would replace its pipe ends), so nothing is asserted before that.
    int savedInput = dup(STDIN_FILENO);
    int savedOutput = dup(STDOUT_FILENO);
    ASSERT_GE(savedInput, 0);
    ASSERT_GE(savedOutput, 0);
    close(STDIN_FILENO);
    close(STDOUT_FILENO);
    bool launched = false;
    std::string output;
    std::string error;
    uint32_t code = 0;
    {
        Utils::PipedProcess process;
        try {
            process.Launch(L"sh", {L"/bin/sh", L"-c", L"read line; printf \"out:$line\"; printf err >&2"});
            launched = true;
        } catch (const Utils::Exception&) {
        }
        if (launched) {
            launched = write(process.InputWriteEnd(), "in\n", 3) == 3;
            process.CloseInput();
            output = readToEnd(process.OutputReadEnd());
            error = readToEnd(process.ErrorReadEnd());
            code = process.Wait();
        }
    }
    dup2(savedInput, STDIN_FILENO);
    dup2(savedOutput, STDOUT_FILENO);
    close(savedInput);
    close(savedOutput);
    ASSERT_TRUE(launched);
    EXPECT_EQ(output, "out:in");
    EXPECT_EQ(error, "err");
    EXPECT_EQ(code, 0u);
}
