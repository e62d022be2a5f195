#include "utils/DebugLog.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(DebugLog, HeaderFieldsAreFixedWidthAndPaddingIsAMinimum) {
    std::string out = TestSupport::CaptureStandardError([] {
        Utils::DebugLog(UTILS_LOG_HEADER L"DL_TYPE=%d\r\n", 4242, 17, 2024, 3, 5, 9, 7, 1, 45,
                        "CDownloadInstaller::Start", 62, 1);
        Utils::DebugLog(UTILS_LOG_HEADER L"%ls\r\n", 1234567, 17, 2024, 3, 5, 9, 7, 1, 45,
                        "Utils::CheckNetwork", 12345, L"安装");
    });
    EXPECT_EQ(out, "<P04242><T00017><2024-03-05 09:07:01.045>(CDownloadInstaller::Start)<0062>:DL_TYPE=1\r\n"
                   "<P1234567><T00017><2024-03-05 09:07:01.045>(Utils::CheckNetwork)<12345>:安装\r\n");
}

TEST(DebugLog, LongLinesAreWrittenWhole) {
    std::wstring longText(5000, L'x');
    std::string out = TestSupport::CaptureStandardError([&] { UTILS_LOG_TEXT(longText); });
    EXPECT_NE(out.find(std::string(5000, 'x') + "\r\n"), std::string::npos);
}

TEST(DebugLog, CallSiteFillsTheHeader) {
    std::string out = TestSupport::CaptureStandardError([] { UTILS_LOG(L"value=%d\r\n", 7); });
    char expectedPrefix[32];
    snprintf(expectedPrefix, sizeof expectedPrefix, "<P%05u><T%05u><", Utils::CurrentProcessId(),
             Utils::CurrentThreadId());
    EXPECT_EQ(out.rfind(expectedPrefix, 0), 0u) << out;
    EXPECT_NE(out.find(">(DebugLog_CallSiteFillsTheHeader_Test::TestBody::<lambda()>::operator ())<"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.substr(out.size() - 10), ":value=7\r\n");
}

TEST(DebugLog, QualifiedNameDropsReturnTypeAndParameters) {
    struct Case {
        const char* pretty;
        const char* expected;
    } cases[] = {
        {"void CDownloadInstaller::Start()", "CDownloadInstaller::Start"},
        {"static unsigned int Utils::Thread::CallBack(void*)", "Utils::Thread::CallBack"},
        {"Utils::Thread::Thread(void*, std::wstring, Body)", "Utils::Thread::Thread"},
        {"bool Utils::HardDiskManager::CheckFreeSpace(const std::wstring&) const",
         "Utils::HardDiskManager::CheckFreeSpace"},
        {"std::vector<int> ns::make(T) [with T = int]", "ns::make"},
        {"CDownloadInstaller::Start()::<lambda(int, double, const wchar_t*)>",
         "CDownloadInstaller::Start::<lambda(int, double, const wchar_t*)>::operator ()"},
        {"int main()", "main"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utils::QualifiedFunctionName(c.pretty), c.expected) << c.pretty;
}
