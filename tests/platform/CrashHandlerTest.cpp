#include "platform/CrashHandler.h"

#include <csignal>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace {

int g_Reports = 0;

void report() {
    ++g_Reports;
    static const char text[] = "crash reported\n";
    (void)!write(STDERR_FILENO, text, sizeof text - 1);
}

} // namespace

TEST(CrashHandler, ReportsOnceThenTheDefaultActionEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Platform::InstallCrashHandler(report);
            raise(SIGSEGV);
        },
        testing::KilledBySignal(SIGSEGV), "^crash reported\n$");
    EXPECT_EXIT(
        {
            Platform::InstallCrashHandler(report);
            std::thread([] { throw std::runtime_error("unhandled"); }).join();
        },
        testing::KilledBySignal(SIGABRT), "^crash reported\n$"); // terminate, then abort: one report
}
