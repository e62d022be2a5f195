#include "utils/ProcessFinder.h"

#include "platform/TextCodec.h"
#include "tests/support/TestSupport.h"
#include "utils/PipedProcess.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(ProcessFinder, FindsARunningProgramByItsExactFileName) {
    TestSupport::TempDir dir;
    // Unique per test run, so a concurrent run cannot answer for us.
    std::wstring name = L"TovaSleeper" + std::to_wstring(getpid());
    auto program = dir.path() / name;
    std::filesystem::copy_file("/bin/sleep", program);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);

    Utils::PipedProcess process;
    process.Launch(program.wstring() + L" 30", {program.wstring(), L"30"});
    uint32_t pid = process.ProcessId();

    EXPECT_EQ(Utils::FindProcessByName(name), pid);
    std::wstring lower = L"tovasleeper" + std::to_wstring(getpid());
    for (const std::wstring& other : {lower, name.substr(0, name.size() - 1), name + L"x", program.wstring(),
                                      std::wstring(L"tovaclip-absent-program"), std::wstring()})
        EXPECT_EQ(Utils::FindProcessByName(other), 0u) << Platform::NativeText(other);

    // A program removed while it runs is still found under its name.
    std::filesystem::remove(program);
    EXPECT_EQ(Utils::FindProcessByName(name), pid);

    kill(static_cast<pid_t>(pid), SIGKILL);
    process.Wait();
    EXPECT_EQ(Utils::FindProcessByName(name), 0u);
}
