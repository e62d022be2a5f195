// The installer's process entry: start-up in a fixed order, the installer's work, and shutdown in
// the reverse order.
#include "analytics/tracker/InstallerReports.h"
#include "app/ConsoleView.h"
#include "app/WindowedRun.h"
#include "app/config/InstallerConfig.h"
#include "app/config/Reporting.h"
#include "platform/CrashHandler.h"
#include "platform/KnownFolders.h"
#include "utils/NamedMutex.h"

#include <clocale>
#include <curl/curl.h>

namespace {

constexpr int kExitAnotherInstance = -1;

} // namespace

int main() {
    std::setlocale(LC_CTYPE, "");
    InstallerConfig& config = InstallerConfig::Instance(); // defaults and the settings file

    Platform::InstallCrashHandler(ReportCrash);

    // Library loading needs no hardening here: the dynamic loader never searches the current folder.
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
        config.m_HttpReady = false;
        ReportTask(L"libcurl初始化失败", L"", 0.0,
                   {{L"AB", config.m_AbGroup}}); // no tracker yet: goes nowhere
    }

    Utils::NamedMutex instance(L"Installer_" + config.m_ProductKey);
    instance.Acquire();
    if (!instance.Held())
        return kExitAnotherInstance;

    // The tracker starts before the command line can change the analytics switch; it needs its
    // collector, so that one option is read now.
    config.ApplyAnalyticsUrlOption(Platform::ProcessArguments());
    if (config.m_IsEnableAppAnalytics)
        quxin::tracking::StartInstallerTracker(config);

    config.ApplyCommandLine();

    // The installer's window takes over here; the silent run needs none. Either is over, its pipeline
    // workers included, before the HTTP library is cleaned up below.
    int exitCode = config.m_Silent ? RunSilentInstall() : RunWindowedInstall();

    // Shutdown: the tracker's release (its last delivery) comes first, then the HTTP library, then
    // the lock.
    if (config.m_IsEnableAppAnalytics)
        quxin::tracking::ReleaseInstallerTracker();
    curl_global_cleanup();
    instance.Release();
    return exitCode;
}
