#include "download/CurlDownloader.h"
#include "download/CurlClient.h"

#include "app/config/Reporting.h"
#include "tests/download/DownloadFixture.h"
#include "tests/support/ReportRecorder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

constexpr size_t kMiB = 1048576;
const std::string kWrongDigest(32, '0');

std::vector<int32_t> codes(std::initializer_list<int32_t> list) {
    return list;
}

int countLines(const std::vector<std::string>& log, const std::string& prefix) {
    return static_cast<int>(
        std::ranges::count_if(log, [&](const std::string& line) { return line.starts_with(prefix); }));
}

// Keeps the reasons of the task reports, which must all be length-query reports.
struct TaskRecorder : ReportSink {
    std::vector<std::wstring> reasons;
    void Task(const std::wstring& name, const std::wstring& reason, double,
              const ReportProperties& p) override {
        EXPECT_EQ(name, L"下载失败原因");
        EXPECT_EQ(p.at(L"AB"), L"IN");
        reasons.push_back(reason);
    }
    void Click(const ReportProperties&, const std::wstring&) override { ADD_FAILURE(); }
    void View(const ReportProperties&) override { ADD_FAILURE(); }
    void Crash() override { ADD_FAILURE(); }
};

// Runs a single-transfer download to its final report(s), restarting on DL_CODE_RETRY.
struct CurlRun {
    ReportRecorder recorder;
    std::unique_ptr<CCurlDownloader> downloader;

    CurlRun(DownloadFixture& fixture, const std::string& path, int finals = 1) {
        downloader =
            std::make_unique<CCurlDownloader>(recorder.Callback(), fixture.url(path), fixture.targetWide());
        recorder.RestartOnRetry(downloader.get());
        downloader->Start();
        EXPECT_TRUE(recorder.WaitForFinal(finals));
    }
};

} // namespace

TEST(CurlDownloader, RedirectChainToTheDigestFolder) {
    DownloadFixture fixture(2 * kMiB + 123);
    CurlRun run(fixture, "/redirect/2/" + fixture.name());
    EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(run.recorder.Last().text, L"LibCurl");
    EXPECT_EQ(fixture.targetBytes(), fixture.bytes());
    EXPECT_FALSE(fs::exists(fixture.target().string() + ".part"));
    // The transfer itself went to the address after the redirects.
    auto log = fixture.server().log();
    EXPECT_EQ(countLines(log, "GET " + fixture.digestPath()), 1);
    EXPECT_EQ(countLines(log, "GET /redirect/"), 0);
}

TEST(CurlDownloader, IntegrityOutcomes) {
    struct Case {
        const char* name;
        std::string folder; // empty: no digest folder
        std::vector<int32_t> codes;
        std::vector<std::wstring> md5Texts;
    } cases[] = {
        {"no digest folder", "", {DL_CODE_START, DL_CODE_MD5, DL_CODE_SUCCESS}, {L"curl获取url-md5失败"}},
        {"upper-case digest of the right file", "UPPER", {DL_CODE_START, DL_CODE_SUCCESS}, {}},
        {"wrong digest: retry once, then fail",
         kWrongDigest,
         {DL_CODE_START, DL_CODE_MD5, DL_CODE_RETRY, DL_CODE_START, DL_CODE_MD5, DL_CODE_FAIL},
         {L"curl文件md5校验失败", L"curl文件md5校验失败"}},
    };
    for (const auto& c : cases) {
        DownloadFixture fixture(kMiB + 1);
        std::string folder = c.folder == "UPPER" ? fixture.md5() : c.folder;
        if (c.folder == "UPPER")
            std::ranges::transform(folder, folder.begin(), ::toupper);
        std::string path = folder.empty() ? "/" + fixture.name() : fixture.folderPath(folder);
        CurlRun run(fixture, path);
        EXPECT_EQ(run.recorder.Codes(), c.codes) << c.name;
        std::vector<std::wstring> texts;
        for (const auto& report : run.recorder.Events())
            if (report.code == DL_CODE_MD5)
                texts.push_back(report.text);
        EXPECT_EQ(texts, c.md5Texts) << c.name;
        EXPECT_EQ(fixture.targetBytes(), fixture.bytes()) << c.name;
        // A restart reuses what discovery learned: HEAD requests only in the first run.
        auto log = fixture.server().log();
        EXPECT_EQ(countLines(log, "GET "), run.recorder.Count(DL_CODE_START)) << c.name;
        EXPECT_LE(countLines(log, "HEAD "), 1) << c.name;
    }
}

TEST(CurlDownloader, SmallFileIsRefusedSixTimesWithoutTransfer) {
    DownloadFixture fixture(500 * 1024);
    CurlRun run(fixture, fixture.digestPath());
    EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(run.recorder.Last().value, CurlClient::kResultLengthUnknown);
    auto log = fixture.server().log();
    EXPECT_EQ(countLines(log, "GET "), 0);
    EXPECT_EQ(countLines(log, "HEAD "), 6 * 3); // three HEAD requests in each of the six attempts
}

TEST(CurlDownloader, CutTransferResumesFromThePartFile) {
    DownloadFixture fixture(3 * kMiB);
    fixture.server().setFault(fixture.digestPath(), "cut=100000,times=1");
    CurlRun run(fixture, fixture.digestPath());
    EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_EQ(fixture.targetBytes(), fixture.bytes());
    auto log = fixture.server().log();
    EXPECT_EQ(countLines(log, "GET " + fixture.digestPath() + " -"), 1);
    EXPECT_EQ(countLines(log, "GET " + fixture.digestPath() + " bytes=100000-"), 1);
}

TEST(CurlDownloader, EveryAttemptCutSpendsTheBudgetInTwelveTransfers) {
    DownloadFixture fixture(3 * kMiB);
    fixture.server().setFault(fixture.digestPath(), "cut=1000");
    CurlRun run(fixture, fixture.digestPath());
    EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(run.recorder.Last().value, 18.0);
    auto log = fixture.server().log();
    EXPECT_EQ(countLines(log, "GET "), 12);
    // Each attempt continues where the previous one stopped.
    EXPECT_EQ(countLines(log, "GET " + fixture.digestPath() + " bytes=11000-"), 1);
}

TEST(CurlDownloader, NotFoundOnTheTransferKeepsThePartFile) {
    DownloadFixture fixture(kMiB);
    fixture.server().setFault(fixture.digestPath(), "status=404,get");
    CurlRun run(fixture, fixture.digestPath());
    EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(run.recorder.Last().value, 22.0);
    EXPECT_TRUE(fs::exists(fixture.target().string() + ".part"));
    run.downloader.reset(); // the downloader takes its part file with it
    EXPECT_FALSE(fs::exists(fixture.target().string() + ".part"));
}

TEST(CurlDownloader, DestroyingDuringAStalledTransferStopsAtOnce) {
    DownloadFixture fixture(2 * kMiB);
    fixture.server().setFault(fixture.digestPath(), "stall");
    ReportRecorder recorder;
    auto downloader = std::make_unique<CCurlDownloader>(
        recorder.Callback(), fixture.url(fixture.digestPath()), fixture.targetWide());
    downloader->Start();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return countLines(fixture.server().log(), "GET ") == 1; }));
    downloader.reset();
    EXPECT_EQ(recorder.Codes(), codes({DL_CODE_START}));
}

TEST(CurlClient, LengthLimitAndStatusReports) {
    struct Case {
        size_t size;
        const char* headFault;
        int result;
        std::vector<std::wstring> statusReports;
    } cases[] = {
        {kMiB, nullptr, 0, {}},
        {kMiB - 1, nullptr, CurlClient::kResultLengthUnknown, {}},
        // A HEAD status of 400 fails the first way of learning the length but passes the second.
        {kMiB, "status=400", CurlClient::kResultLengthUnknown, {L"1.获取文件大小的状态码为=400；"}},
        {kMiB,
         "status=401",
         CurlClient::kResultLengthUnknown,
         {L"1.获取文件大小的状态码为=401；", L"1.获取文件大小的状态码为=401；"}},
    };
    for (const auto& c : cases) {
        DownloadFixture fixture(c.size);
        if (c.headFault)
            fixture.server().setFault(fixture.digestPath(), c.headFault);
        auto sink = std::make_shared<TaskRecorder>();
        SetReportSink(sink);
        CurlClient client(fixture.url(fixture.digestPath()), fixture.targetWide());
        EXPECT_EQ(client.Start(), c.result) << c.size;
        EXPECT_EQ(sink->reasons, c.statusReports) << c.size;
        if (c.result == 0)
            EXPECT_EQ(fixture.targetBytes(), fixture.bytes());
        else
            EXPECT_EQ(countLines(fixture.server().log(), "GET "), 0);
        SetReportSink(nullptr);
    }
}

TEST(CurlClient, ProgressCountsThePartFileAlreadyThere) {
    DownloadFixture fixture(2 * kMiB);
    TestSupport::WriteFile(fixture.target().string() + ".part", fixture.bytes().substr(0, 300));
    CurlClient client(fixture.url(fixture.digestPath()), fixture.targetWide());
    double firstPercent = -1;
    client.SetProgressHook([&](double, double, double percent) {
        if (firstPercent < 0)
            firstPercent = percent;
    });
    ASSERT_EQ(client.Start(), 0);
    EXPECT_EQ(fixture.targetBytes(), fixture.bytes());
    EXPECT_EQ(countLines(fixture.server().log(), "GET " + fixture.digestPath() + " bytes=300-"), 1);
    // The first progress call comes before any new byte: the percentage is the part file's share.
    EXPECT_DOUBLE_EQ(firstPercent, 300.0 * 100.0 / static_cast<double>(fixture.bytes().size()));
}

TEST(CurlClient, AFinishedFileThatCannotReplaceTheTargetIsAFailure) {
    DownloadFixture fixture(kMiB);
    std::filesystem::create_directories(fixture.target() / "occupied"); // a folder in the target's place
    CurlClient client(fixture.url(fixture.digestPath()), fixture.targetWide());
    EXPECT_EQ(client.Start(), CurlClient::kResultMoveFailed);
    EXPECT_TRUE(std::filesystem::is_directory(fixture.target()));
}
