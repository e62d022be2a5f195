#include "download/CurlDownloader.h"
#include "download/Downloader.h"
#include "download/IntegrityCheck.h"
#include "download/MTCurlDownloader.h"
#include "download/RetryBudget.h"
#include "download/WinDownloader.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(DownloadContract, DownloadTypeChoosesTheDownloader) {
    TestSupport::TempDir dir;
    auto make = [&](int type) {
        return CreateDownloader(
            type, [](int32_t, double, const wchar_t*) {}, L"http://127.0.0.1:1/x", dir.wide() + L"/t");
    };
    for (int type : {0, 1, 4, -1})
        EXPECT_NE(dynamic_cast<CCurlDownloader*>(make(type).get()), nullptr) << type;
    EXPECT_NE(dynamic_cast<CWinDownloader*>(make(2).get()), nullptr);
    EXPECT_NE(dynamic_cast<CMTCurlDownloader*>(make(3).get()), nullptr);
}

TEST(DownloadContract, RetryBudgetChargesPartialFilesLess) {
    struct Case {
        int code;
        int attemptsChargeFirst; // charge, then stop at 0 or less
    } cases[] = {{18, 12}, {22, 6}, {-998, 6}};
    for (const auto& c : cases) {
        RetryBudget budget;
        int attempts = 1;
        for (budget.Charge(c.code); budget.Available(); budget.Charge(c.code))
            ++attempts;
        EXPECT_EQ(attempts, c.attemptsChargeFirst) << c.code;
    }
}

TEST(DownloadContract, IntegrityCheckAgainstTheDigestFolder) {
    TestSupport::TempDir dir;
    TestSupport::WriteFile(dir.path() / "f", "abc"); // md5 900150983cd24fb0d6963f7d28e17f72
    std::wstring file = dir.wide() + L"/f";
    struct Case {
        std::string url;
        std::wstring path;
        IntegrityOutcome outcome;
    } cases[] = {
        {"http://h/900150983cd24fb0d6963f7d28e17f72/f.exe", file, IntegrityOutcome::Match},
        {"http://h/900150983CD24FB0D6963F7D28E17F72/f.exe", file, IntegrityOutcome::Match},
        {"http://h/000150983cd24fb0d6963f7d28e17f72/f.exe", file, IntegrityOutcome::Mismatch},
        {"http://h/f.exe", file, IntegrityOutcome::DigestMissing},
        {"f.exe", file, IntegrityOutcome::DigestMissing},
        {"http://h/000150983cd24fb0d6963f7d28e17f72/f.exe", dir.wide() + L"/missing",
         IntegrityOutcome::Match},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckIntegrity(c.url, c.path), c.outcome) << c.url;
}
