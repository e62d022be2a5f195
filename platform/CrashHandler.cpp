#include "platform/CrashHandler.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <unistd.h>

namespace Platform {
namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr unsigned kReportSeconds = 5;

std::atomic<void (*)()> g_Report{nullptr};
std::atomic_flag g_Reported = ATOMIC_FLAG_INIT;

void reportOnce() {
    if (g_Reported.test_and_set())
        return;
    if (auto report = g_Report.load()) {
        alarm(kReportSeconds); // a hanging report must not keep the dying process alive
        report();
        alarm(0);
    }
}

void onFatalSignal(int signal) {
    reportOnce();
    std::signal(signal, SIG_DFL);
    raise(signal);
}

void onTerminate() {
    reportOnce();
    std::signal(SIGABRT, SIG_DFL);
    std::abort();
}

} // namespace

void InstallCrashHandler(void (*report)()) {
    g_Report = report;
    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int signal : kFatalSignals)
        sigaction(signal, &action, nullptr);
    std::set_terminate(onTerminate);
}

} // namespace Platform
