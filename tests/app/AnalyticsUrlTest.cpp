#include "app/config/InstallerConfig.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

// The analytics collector: a deployment value from the settings file, and an option that is read on
// its own before the tracker starts.
TEST(InstallerConfig, AnalyticsCollector) {
    struct Case {
        const char* name;
        const char* file; // none when null
        std::vector<std::wstring> arguments;
        std::wstring url;
    } cases[] = {
        {"default", nullptr, {L"p"}, kDefaultAnalyticsUrl},
        {"settings file",
         "[Install]\nAnalyticsUrl=http://127.0.0.1:8/collect?project=pc\n",
         {L"p"},
         L"http://127.0.0.1:8/collect?project=pc"},
        {"settings without the key", "[Install]\nDownloadType=2\n", {L"p"}, kDefaultAnalyticsUrl},
        {"option over the settings file",
         "[Install]\nAnalyticsUrl=http://file/\n",
         {L"p", L"-analyticsurl=http://option/c?project=pc&x=1"},
         L"http://option/c?project=pc&x=1"},
        {"first occurrence wins",
         nullptr,
         {L"p", L"-analyticsurl=http://a/", L"-analyticsurl=http://b/"},
         L"http://a/"},
        {"bare option leaves the tracker's default", nullptr, {L"p", L"-analyticsurl"}, L""},
        {"similar options are not it",
         nullptr,
         {L"p", L"-analyticsurlx=http://x/", L"-AnalyticsUrl=http://y/"},
         kDefaultAnalyticsUrl},
    };
    for (const auto& c : cases) {
        TestSupport::TempDir dir;
        if (c.file)
            TestSupport::WriteFile(dir.path() / "QuxinInstallerConfig.ini", c.file);
        InstallerConfig config(dir.wide() + L"/TovaclipSetup");
        config.ApplyAnalyticsUrlOption(c.arguments);
        EXPECT_EQ(config.m_AnalyticsUrl, c.url) << c.name;
    }
}
