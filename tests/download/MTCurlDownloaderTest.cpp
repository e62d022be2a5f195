#include "download/MTCurlDownloader.h"

#include "app/config/InstallerConfig.h"

#include "tests/download/DownloadFixture.h"
#include "tests/support/ReportRecorder.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using std::chrono::steady_clock;

namespace {

constexpr size_t kMiB = 1048576;
const std::wstring kDigestMissing = L"mtcurl获取url-md5失败";
const std::wstring kDigestMismatch = L"mtcurl文件md5校验失败";

std::vector<int32_t> codes(std::initializer_list<int32_t> list) {
    return list;
}

// The Range headers of the GET requests, in arrival order.
std::vector<std::string> getRanges(const std::vector<std::string>& log) {
    std::vector<std::string> ranges;
    for (const std::string& line : log)
        if (line.starts_with("GET "))
            ranges.push_back(line.substr(line.rfind(' ') + 1));
    return ranges;
}

std::vector<std::wstring> md5Texts(const ReportRecorder& recorder) {
    std::vector<std::wstring> texts;
    for (const auto& report : recorder.Events())
        if (report.code == DL_CODE_MD5)
            texts.push_back(report.text);
    return texts;
}

// Compared without printing 20 MiB on a mismatch.
bool hasPackage(const DownloadFixture& fixture) {
    return fixture.targetBytes() == fixture.bytes();
}

std::string partPath(const DownloadFixture& fixture, int index) {
    return fixture.target().string() + "_" + std::to_string(index);
}

// A multi-part download whose owner restarts it from inside DL_CODE_RETRY, as the orchestrator does.
// `onReport` sees each code first, on the reporting thread.
struct MTRun {
    ReportRecorder recorder;
    std::function<void(int32_t)> onReport;
    std::unique_ptr<CMTCurlDownloader> downloader;

    MTRun(DownloadFixture& fixture, const std::string& path, std::function<void(int32_t)> hook = {})
        : onReport(std::move(hook)) {
        ReportCallback forward = recorder.Callback();
        auto callback = [this, forward](int32_t code, double value, const wchar_t* text) {
            if (onReport)
                onReport(code);
            forward(code, value, text);
        };
        downloader = std::make_unique<CMTCurlDownloader>(callback, fixture.url(path), fixture.targetWide());
        recorder.RestartOnRetry(downloader.get());
        downloader->Start();
    }
    bool finish() { return recorder.WaitForFinal(1, std::chrono::seconds(60)); }
};

} // namespace

TEST(MTCurlDownloader, FileIsSplitIntoTenMebibyteParts) {
    struct Case {
        size_t size;
        std::vector<std::string> ranges;
    } cases[] = {
        {20971519, {"bytes=0-20971518"}},
        {20971520, {"bytes=0-10485759", "bytes=10485760-20971519"}},
        // The last part takes the remainder.
        {31457281, {"bytes=0-15728639", "bytes=15728640-31457280"}},
    };
    for (const auto& c : cases) {
        DownloadFixture fixture(c.size);
        MTRun run(fixture, "/redirect/1/" + fixture.name());
        ASSERT_TRUE(run.finish()) << c.size;
        EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_SUCCESS})) << c.size;
        EXPECT_EQ(run.recorder.Last().text, L"LibCurl");
        EXPECT_EQ(run.recorder.Last().value, 0.0);
        EXPECT_TRUE(hasPackage(fixture)) << c.size;
        EXPECT_FALSE(fs::exists(partPath(fixture, 0)));
        EXPECT_FALSE(fs::exists(partPath(fixture, 1)));
        // Parts go to the address after the redirects.
        auto log = fixture.server().log();
        EXPECT_EQ(getRanges(log), c.ranges) << c.size;
        EXPECT_EQ(std::ranges::count_if(log,
                                        [&](const std::string& line) {
                                            return line.starts_with("GET " + fixture.digestPath() + " ");
                                        }),
                  static_cast<long>(c.ranges.size()));
        for (const auto& report : run.recorder.Events()) {
            if (report.code == DL_CODE_PROGRESS) {
                EXPECT_TRUE(report.value > 0.0 && report.value <= 1.0) << report.value;
            }
        }
    }
}

TEST(MTCurlDownloader, IntegrityOutcomes) {
    struct Case {
        const char* name;
        std::string folder; // empty: no digest folder; "UPPER": the right digest in upper case
        std::vector<int32_t> codes;
        std::vector<std::wstring> md5Texts;
        bool fileKept;
    } cases[] = {
        {"no digest folder", "", {DL_CODE_START, DL_CODE_MD5, DL_CODE_SUCCESS}, {kDigestMissing}, true},
        {"upper-case digest of the right file", "UPPER", {DL_CODE_START, DL_CODE_SUCCESS}, {}, true},
        {"wrong digest: retry once, then fail",
         std::string(32, '0'),
         {DL_CODE_START, DL_CODE_MD5, DL_CODE_RETRY, DL_CODE_START, DL_CODE_MD5, DL_CODE_FAIL},
         {kDigestMismatch, kDigestMismatch},
         false},
    };
    for (const auto& c : cases) {
        DownloadFixture fixture(kMiB + 3);
        std::string folder = c.folder;
        if (folder == "UPPER") {
            folder = fixture.md5();
            std::ranges::transform(folder, folder.begin(), ::toupper);
        }
        MTRun run(fixture, folder.empty() ? "/" + fixture.name() : fixture.folderPath(folder));
        ASSERT_TRUE(run.finish()) << c.name;
        EXPECT_EQ(run.recorder.Codes(), c.codes) << c.name;
        EXPECT_EQ(md5Texts(run.recorder), c.md5Texts) << c.name;
        for (const auto& report : run.recorder.Events()) {
            if (report.code == DL_CODE_RETRY || report.code == DL_CODE_FAIL) {
                EXPECT_EQ(report.value, 0.0) << c.name;
            }
        }
        if (c.fileKept)
            EXPECT_TRUE(hasPackage(fixture)) << c.name;
        else
            EXPECT_FALSE(fs::exists(fixture.target())) << c.name;
        EXPECT_FALSE(fs::exists(partPath(fixture, 0))) << c.name;
        // After a mismatch the restart fetches everything again, but without a new HEAD request.
        auto log = fixture.server().log();
        EXPECT_EQ(getRanges(log), std::vector<std::string>(run.recorder.Count(DL_CODE_START),
                                                           "bytes=0-" + std::to_string(kMiB + 2)))
            << c.name;
        EXPECT_EQ(
            std::ranges::count_if(log, [](const std::string& line) { return line.starts_with("HEAD "); }), 1)
            << c.name;
    }
}

TEST(MTCurlDownloader, DiscoveryFailsBeforeAnyTransfer) {
    struct Case {
        const char* name;
        size_t size;
        const char* fault;
        bool httpReady;
        bool succeeds;
    } cases[] = {
        {"255 bytes", 255, nullptr, true, false},
        {"256 bytes", 256, nullptr, true, true},
        {"HEAD answer without a body", 4096, "status=200,times=1", true, false},
        {"HEAD refused", 4096, "status=404", true, false},
        {"HTTP library not ready", 4096, nullptr, false, false},
    };
    for (const auto& c : cases) {
        DownloadFixture fixture(c.size);
        if (c.fault)
            fixture.server().setFault(fixture.digestPath(), c.fault);
        InstallerConfig::Instance().m_HttpReady = c.httpReady;
        MTRun run(fixture, fixture.digestPath());
        const bool finished = run.finish();
        InstallerConfig::Instance().m_HttpReady = true;
        ASSERT_TRUE(finished) << c.name;
        if (c.succeeds) {
            EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_SUCCESS})) << c.name;
            EXPECT_TRUE(hasPackage(fixture));
            continue;
        }
        EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_FAIL})) << c.name;
        EXPECT_EQ(run.recorder.Last().value, 0.0);
        EXPECT_EQ(run.recorder.Last().text, L"LibCurl");
        auto log = fixture.server().log();
        EXPECT_TRUE(getRanges(log).empty()) << c.name;
        EXPECT_EQ(log.size(), c.httpReady ? 1u : 0u) << c.name; // the HEAD request, if any
        EXPECT_TRUE(fs::is_empty(fixture.target().parent_path())) << c.name;
    }
}

TEST(MTCurlDownloader, ServerThatMisreadsTheRangeStillGivesTheRightFile) {
    for (const char* fault : {"norange", "overrange=4096"}) {
        DownloadFixture fixture(20 * kMiB);
        fixture.server().setFault(fixture.digestPath(), fault);
        MTRun run(fixture, fixture.digestPath());
        ASSERT_TRUE(run.finish()) << fault;
        EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_SUCCESS})) << fault;
        EXPECT_TRUE(hasPackage(fixture)) << fault;
        // The first part had all its bytes when the surplus was refused: no repetition.
        EXPECT_EQ(getRanges(fixture.server().log()).size(), 2u) << fault;
    }
}

TEST(MTCurlDownloader, StalledTransferIsAbandonedAfterFiveSecondsAndRepeated) {
    DownloadFixture fixture(64 * 1024);
    fixture.server().setFault(fixture.digestPath(), "stall,times=1");
    auto begin = steady_clock::now();
    MTRun run(fixture, fixture.digestPath());
    ASSERT_TRUE(run.finish());
    auto elapsed = steady_clock::now() - begin;
    EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_SUCCESS}));
    EXPECT_TRUE(hasPackage(fixture));
    EXPECT_GE(elapsed, std::chrono::milliseconds(4500));
    EXPECT_LT(elapsed, std::chrono::seconds(15));
    // The repetition asks only for what the stalled answer did not bring.
    auto ranges = getRanges(fixture.server().log());
    ASSERT_EQ(ranges.size(), 2u);
    EXPECT_EQ(ranges[0], "bytes=0-65535");
    EXPECT_TRUE(ranges[1].starts_with("bytes=") && ranges[1].ends_with("-65535") && ranges[1] != ranges[0])
        << ranges[1];
}

TEST(MTCurlDownloader, RestartAfterAFailedPartKeepsTheCompletePartAndContinuesTheOther) {
    DownloadFixture fixture(20 * kMiB);
    // Part 0's first answer stalls; part 1 completes meanwhile. Then every repetition of part 0 is
    // refused until its budget is spent: six more attempts after the stall, 2 points each.
    fixture.server().setFault(fixture.digestPath(), "stall,times=1");
    std::vector<std::string> rangesAtRetry;
    MTRun run(fixture, fixture.digestPath(), [&](int32_t code) {
        if (code == DL_CODE_RETRY)
            rangesAtRetry = getRanges(fixture.server().log());
    });
    ASSERT_TRUE(TestSupport::WaitUntil([&] {
        std::error_code error;
        return fs::file_size(partPath(fixture, 1), error) == 10 * kMiB;
    }));
    fixture.server().setFault(fixture.digestPath(), "reset,times=6");
    ASSERT_TRUE(run.finish());

    EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_RETRY, DL_CODE_START, DL_CODE_SUCCESS}));
    auto reports = run.recorder.Events();
    auto retry = std::ranges::find_if(reports, [](const auto& r) { return r.code == DL_CODE_RETRY; });
    EXPECT_TRUE(
        std::any_of(reports.begin(), retry, [](const auto& r) { return r.code == DL_CODE_PROGRESS; }));
    EXPECT_GT(retry->value, 0.0); // libcurl's code of part 0's last attempt
    EXPECT_EQ(retry->text, L"LibCurl");
    EXPECT_TRUE(hasPackage(fixture));

    // Seven attempts of part 0 at most when no failure is a partial file.
    EXPECT_EQ(rangesAtRetry.size(), 8u); // part 0 stalled, part 1, six refused
    auto ranges = getRanges(fixture.server().log());
    ASSERT_EQ(ranges.size(), 9u);
    EXPECT_EQ(std::ranges::count(ranges, "bytes=10485760-20971519"), 1);
    // The restart continues part 0 after the bytes the stalled answer brought.
    const std::string& last = ranges.back();
    EXPECT_TRUE(last.ends_with("-10485759") && last != "bytes=0-10485759") << last;
}

TEST(MTCurlDownloader, MergeParts) {
    TestSupport::TempDir dir;
    const fs::path first = dir.path() / "t_0", second = dir.path() / "t_1", target = dir.path() / "t";
    const fs::path folder = dir.path() / "folder";
    struct Case {
        const char* name;
        std::string firstPath, secondPath, targetPath;
        int64_t secondSize;
        int result;
    } cases[] = {
        {"both parts", first, second, target, 4, 0},
        {"first part cannot be opened", (dir.path() / "missing" / "t_0").string(), second, target, 4,
         CMTCurlDownloader::kMergeFirstPartUnopened},
        {"second part missing", first, (dir.path() / "none").string(), target, 4,
         CMTCurlDownloader::kMergePartNotCopied},
        {"second part is a folder", first, folder, target, 4, CMTCurlDownloader::kMergePartNotCopied},
        {"second part shorter than its range", first, second, target, 5,
         CMTCurlDownloader::kMergePartNotCopied},
        {"target is a folder in use", first, second, folder, 4, CMTCurlDownloader::kMergeRenameFailed},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir.path());
        fs::create_directories(folder);
        TestSupport::WriteFile(folder / "in-use", "x");
        TestSupport::WriteFile(first, "AAA");
        TestSupport::WriteFile(second, "BBBB");
        int result =
            CMTCurlDownloader::MergeParts({{c.firstPath, 3}, {c.secondPath, c.secondSize}}, c.targetPath);
        EXPECT_EQ(result, c.result) << c.name;
        if (result == 0)
            EXPECT_EQ(TestSupport::ReadFile(target), "AAABBBB") << c.name;
        else
            EXPECT_FALSE(fs::exists(target)) << c.name;
    }
}

TEST(MTCurlDownloader, FailedMoveOntoTheTargetEndsTheRunWithItsCode) {
    DownloadFixture fixture(4096);
    fs::create_directories(fixture.target());
    TestSupport::WriteFile(fixture.target() / "in-use", "x");
    MTRun run(fixture, fixture.digestPath());
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.recorder.Codes(), codes({DL_CODE_START, DL_CODE_FAIL}));
    EXPECT_EQ(run.recorder.Last().value, CMTCurlDownloader::kMergeRenameFailed);
    EXPECT_FALSE(fs::exists(partPath(fixture, 0)));
}

TEST(MTCurlDownloader, DestroyingDuringStalledPartsStopsPromptlyAndReportsNothingMore) {
    DownloadFixture fixture(20 * kMiB);
    fixture.server().setFault(fixture.digestPath(), "stall");
    ReportRecorder recorder;
    auto downloader = std::make_unique<CMTCurlDownloader>(
        recorder.Callback(), fixture.url(fixture.digestPath()), fixture.targetWide());
    downloader->Start();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return getRanges(fixture.server().log()).size() == 2; }));
    auto begin = steady_clock::now();
    downloader.reset();
    EXPECT_LT(steady_clock::now() - begin, std::chrono::seconds(3));
    EXPECT_EQ(recorder.Codes(), codes({DL_CODE_START}));
}
