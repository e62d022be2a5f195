#include "install/DownloadInstaller.h"

#include "install/InstallCodes.h"

#include "tests/download/ReportRecorder.h"
#include "tests/support/DownloadServer.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

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
