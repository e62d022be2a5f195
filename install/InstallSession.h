#pragma once

#include "app/config/Reporting.h"
#include "install/DownloadInstaller.h"
#include "install/EarlierInstallation.h"
#include "install/InstallView.h"
#include "install/Registration.h"
#include "utils/Stopwatch.h"
#include "utils/Thread.h"

#include <functional>
#include <memory>
#include <string>

// Runs work on the session's own thread, after what was posted before it.
using SessionPoster = std::function<void(std::function<void()>)>;

// One run of the installer, whatever shows it: the user's choices, the checks before an installation,
// the pipeline's events in order, the finished installation's registration, and the reports about the
// user's path. Every member runs on the session's thread; pipeline events and the network check's
// answer are posted there.
class CInstallSession {
public:
    // Pages of the installer: welcome, custom directory, progress, finished.
    static constexpr int kWelcomePage = 0;
    static constexpr int kCustomPage = 1;
    static constexpr int kProgressPage = 2;
    static constexpr int kFinishedPage = 3;

    CInstallSession(InstallView& view, SessionPoster post);
    // Destroys the pipeline (which waits for its workers), then waits for the network check.
    ~CInstallSession();

    // Prepare, then ActOnEarlierInstall.
    void Init();
    // Creates the pipeline and reads the earlier installation.
    void Prepare();
    // When there is an earlier installation: installs at once ("-insnew"), refuses while the product
    // runs, or asks the user.
    void ActOnEarlierInstall();

    bool HasEarlierInstall() const { return m_HasEarlierInstall; }
    const EarlierInstallation& Earlier() const { return m_Earlier; }
    std::wstring DefaultDirectory();
    std::wstring CustomDirectory(const std::wstring& fieldText);

    // The buttons of the pages. The default installation starts only once the agreement is accepted.
    void InstallDefault(bool agreementAccepted = true);
    void OpenCustomPage();
    void InstallCustom(const std::wstring& fieldText, bool desktopShortcut, bool quickLaunchShortcut);
    void OpenProduct();

    // Checks what an installation needs and prepares one attempt; the "install" notification (now or
    // after the network check) starts it.
    void StartInstall(const std::wstring& directory, bool desktopShortcut, bool quickLaunchShortcut);
    void OnInstallNotification(bool proceed);
    void OnNetworkChecked(uint32_t result);
    void OnInstallEvent(int32_t code, double value, const std::wstring& text);
    // Another program's message that the downloader has started.
    void OnDownloaderStartMessage();

    void SelectPage(int page);
    int Page() const { return m_Page; }
    // The installation cannot be abandoned while it runs.
    bool CloseAllowed() const { return m_Page != kProgressPage; }
    bool InstallStarted() const { return m_InstallStarted; }
    const PostInstallValues& PostInstall() const { return m_PostInstall; }

private:
    void showProgress(int percent);
    void onDownloadFailed(double value, const std::wstring& text);
    void onInstallFinished();
    void onInstallFailed(double value, const std::wstring& text);
    void onUninstallFailed();
    void reportTask(const std::wstring& name, const std::wstring& reason, double elapsed);
    ReportProperties properties() const { return {{L"AB", m_AbGroup}}; }
    void postEvent(int32_t code, double value, const wchar_t* text);
    void showProductRunning();

    InstallView& m_View;
    SessionPoster m_Post;
    std::unique_ptr<CDownloadInstaller> m_DownloadInstaller;
    std::unique_ptr<Utils::Thread> m_NetCheckThread;
    EarlierInstallation m_Earlier;
    bool m_HasEarlierInstall{false};
    AdminFacts m_AdminFacts;
    PostInstallValues m_PostInstall; // its directory is the current attempt's, replaced by the package's
    Utils::Stopwatch m_Stopwatch;
    int m_Page{kWelcomePage};
    int m_PageBeforeInstall{kWelcomePage};
    double m_InstallShown{0.0};
    int m_ShownPercent{0};
    std::wstring m_AbGroup{L"IN"};
    bool m_DownloaderStartReported{false};
    bool m_InstallStarted{false};
    // The custom page's last choice, for a retry from that page.
    std::wstring m_CustomFieldText;
    bool m_CustomDesktop{true};
    bool m_CustomQuickLaunch{true};
};
