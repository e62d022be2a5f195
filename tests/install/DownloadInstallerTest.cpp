#include "install/DownloadInstaller.h"

#include "app/config/InstallerConfig.h"
#include "install/InstallCodes.h"
#include "utils/ProcessFinder.h"

#include "tests/support/ReportRecorder.h"
#include "tests/support/DownloadServer.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace fs = std::filesystem;

TEST(DownloadInstaller, RetryAfterAFailedDownloadInAnotherDirectory) {
    TestSupport::TempDir served, first, second;
    fs::copy_file(TestSupport::BinPath("tovaclip-sample-package"), served.path() / "setup.exe");
    TestSupport::DownloadServer server(served.path());
    server.setFault("/setup.exe", "status=404");
    std::wstring url = fs::path(server.url("/setup.exe")).wstring();

    ReportRecorder recorder;
    CDownloadInstaller pipeline(recorder.Callback());
    pipeline.Setup(url, L"", L"", first.wide() + L"/Tovaclip", true, true, true, false, L"");
    pipeline.Start();
    ASSERT_TRUE(recorder.WaitForCode(DL_CODE_FAIL));
    EXPECT_FALSE(fs::exists(first.path() / "Tovaclip" / "__Package_Tovaclip.exe"));

    // The user retries into another directory: the package goes there, and is run from there.
    server.setFault("/setup.exe", "");
    pipeline.Setup(url, L"", L"", second.wide() + L"/Tovaclip", true, true, true, false, L"de-DE");
    pipeline.Start();
    ASSERT_TRUE(recorder.WaitForCode(IST_CODE_SUCCESS));
    EXPECT_TRUE(fs::exists(second.path() / "Tovaclip" / "Tovaclip.exe"));
    EXPECT_NE(TestSupport::ReadFile(second.path() / "Tovaclip" / "config.ini").find("Language=de-DE"),
              std::string::npos);
    // The package is removed right after the event has been passed on.
    EXPECT_TRUE(TestSupport::WaitUntil(
        [&] { return !fs::exists(second.path() / "Tovaclip" / "__Package_Tovaclip.exe"); }));
    EXPECT_FALSE(fs::exists(first.path() / "Tovaclip" / "Tovaclip.exe"));
    EXPECT_EQ(recorder.Count(DL_CODE_START), 2);
    EXPECT_EQ(recorder.Count(IST_CODE_START), 1);
}

TEST(DownloadInstaller, InstallingAnewWaitsForTheRunningProductOffTheCallersThread) {
    TestSupport::TempDir served, earlier, product;
    fs::copy_file(TestSupport::BinPath("tovaclip-sample-package"), served.path() / "setup.exe");
    TestSupport::DownloadServer server(served.path());
    // The earlier installation: its uninstaller, and its product running.
    fs::copy_file(TestSupport::BinPath("tovaclip-sample-package"), earlier.path() / "uninst.ep");
    fs::copy_file(TestSupport::BinPath("tovaclip-sample-package"), product.path() / "Tovaclip.exe");
    std::string pid = TestSupport::RunCommand("'" + (product.path() / "Tovaclip.exe").string() +
                                              "' >/dev/null 2>&1 & echo $!")
                          .output;
    ASSERT_TRUE(TestSupport::WaitUntil([] { return Utils::FindProcessByName(kProductExecutable) != 0; }));

    InstallerConfig::Instance().m_InsNew = true;
    ReportRecorder recorder;
    {
        CDownloadInstaller pipeline(recorder.Callback());
        pipeline.Setup(fs::path(server.url("/setup.exe")).wstring(), earlier.wide(),
                       earlier.wide() + L"/uninst.ep", earlier.wide(), true, true, true, false, L"");
        auto started = std::chrono::steady_clock::now();
        pipeline.Start();
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)); // Start did not wait
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_TRUE(recorder.Events().empty()); // the uninstaller waits for the product

        TestSupport::RunCommand("kill " + pid);
        EXPECT_TRUE(recorder.WaitForCode(UNIST_CODE_SUCCESS));
        EXPECT_TRUE(recorder.WaitForCode(IST_CODE_SUCCESS));
    }
    InstallerConfig::Instance().m_InsNew = false;
}
