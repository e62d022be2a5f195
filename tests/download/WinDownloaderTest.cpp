#include "download/WinDownloader.h"

#include "platform/UrlDownload.h"
#include "tests/download/DownloadFixture.h"
#include "tests/support/ReportRecorder.h"

#include <gtest/gtest.h>

namespace {

std::vector<int32_t> codes(std::initializer_list<int32_t> list) {
    return list;
}

} // namespace

TEST(WinDownloader, SpaceInTheUrlIsSentAsPlus) {
    DownloadFixture fixture(300 * 1024, "my+pkg.bin");
    ReportRecorder recorder;
    CWinDownloader downloader(recorder.Callback(), fixture.url("/my pkg.bin"), fixture.targetWide());
    downloader.Start();
    ASSERT_TRUE(recorder.WaitForFinal());
    EXPECT_EQ(recorder.Codes(), codes({DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(recorder.Last().text, L"URLDownloadToFile");
    EXPECT_EQ(fixture.targetBytes(), fixture.bytes());
    EXPECT_GT(recorder.Count(DL_CODE_PROGRESS), 0);
    EXPECT_EQ(fixture.server().log().front(), "GET /my+pkg.bin -");
}

TEST(WinDownloader, ThreeFailedAttemptsGiveTheResultCode) {
    struct Case {
        const char* fault;
        uint32_t result;
    } cases[] = {
        {"status=404", Platform::kDownloadNotFound},
        {"status=500", Platform::kDownloadFailure},
    };
    for (const auto& c : cases) {
        DownloadFixture fixture(1000);
        fixture.server().setFault("/" + fixture.name(), c.fault);
        ReportRecorder recorder;
        CWinDownloader downloader(recorder.Callback(), fixture.url("/" + fixture.name()),
                                  fixture.targetWide());
        downloader.Start();
        ASSERT_TRUE(recorder.WaitForFinal());
        EXPECT_EQ(recorder.Codes(), codes({DL_CODE_START, DL_CODE_FAIL}));
        EXPECT_EQ(recorder.Last().value, static_cast<int32_t>(c.result)) << c.fault;
        EXPECT_EQ(fixture.server().log().size(), 3u);
        EXPECT_FALSE(std::filesystem::exists(fixture.target()));

        // The user's retry runs the download again.
        fixture.server().setFault("/" + fixture.name(), "");
        downloader.Start();
        ASSERT_TRUE(recorder.WaitForFinal(2));
        EXPECT_EQ(recorder.Codes(), codes({DL_CODE_START, DL_CODE_FAIL, DL_CODE_START, DL_CODE_SUCCESS}));
        EXPECT_EQ(fixture.targetBytes(), fixture.bytes());
    }
}

TEST(WinDownloader, ProgressOnlyWithAKnownMaximumAndUntilAborted) {
    ReportRecorder recorder;
    CWinDownloader::CBindCallback bind;
    bind.SetCallback(recorder.Callback());
    EXPECT_EQ(bind.OnProgress(10, 0), CWinDownloader::CBindCallback::kContinue);
    EXPECT_EQ(bind.OnProgress(25, 100), CWinDownloader::CBindCallback::kContinue);
    bind.Abort();
    EXPECT_EQ(bind.OnProgress(50, 100), CWinDownloader::CBindCallback::kAbort);
    ASSERT_EQ(recorder.Events().size(), 1u);
    EXPECT_EQ(recorder.Events()[0].value, 0.25);
}

TEST(UrlDownload, ConnectionRefusedAndFileUrls) {
    TestSupport::TempDir dir;
    std::wstring target = dir.wide() + L"/out";
    TestSupport::WriteFile(dir.path() / "source file", "hello");
    EXPECT_EQ(Platform::DownloadUrlToFile(L"file://" + dir.wide() + L"/source%20file", target, nullptr),
              Platform::kDownloadOk);
    EXPECT_EQ(TestSupport::ReadFile(dir.path() / "out"), "hello");
    EXPECT_EQ(Platform::DownloadUrlToFile(L"http://127.0.0.1:1/x", target, nullptr),
              Platform::kDownloadCannotConnect);
    EXPECT_EQ(TestSupport::ReadFile(dir.path() / "out"), "hello"); // a failed download leaves the old file
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
              2); // no temporary files left
}
