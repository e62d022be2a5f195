#pragma once

#include "download/Downloader.h"
#include "utils/Thread.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

class CInstaller;
class CUnInstaller;

// The install pipeline: uninstall the earlier installation (when one is registered), download the
// package, run it. Each stage runs on its worker's thread; every event goes to the owner's callback
// first, then the stage handler acts on it (next stage, restart, clean-up).
class CDownloadInstaller {
public:
    explicit CDownloadInstaller(ReportCallback callback);
    // Stops starting new stages, then waits for the downloader, the package runner and the
    // uninstaller runner, in this order.
    ~CDownloadInstaller();
    CDownloadInstaller(const CDownloadInstaller&) = delete;
    CDownloadInstaller& operator=(const CDownloadInstaller&) = delete;

    void Setup(const std::wstring& url, const std::wstring& previousInstallPath,
               const std::wstring& uninstallerPath, const std::wstring& installDir, bool desktopShortcut,
               bool quickLaunchShortcut, bool adminAct, bool authorizationAct,
               const std::wstring& installLanguage);
    // Runs the pipeline from its first stage; returns once that stage's worker has been started.
    void Start();

    std::wstring PackagePath() const;

    // Where the package is stored for an installation directory.
    static std::wstring PackagePathFor(const std::wstring& installDir);

private:
    void onDownloadEvent(int32_t code, double value, const wchar_t* text);
    void onUninstallEvent(int32_t code, double value, const wchar_t* text);
    void onInstallEvent(int32_t code, double value, const wchar_t* text);
    void startUninstall(bool waitForProduct);
    void cleanUpPackage();
    std::wstring installDir() const;
    // Runs `stage` unless the pipeline is being destroyed.
    template <typename Stage> void startStage(Stage stage);

    std::unique_ptr<CUnInstaller> m_UnInstaller;
    std::unique_ptr<CDownloader> m_Downloader;
    std::unique_ptr<CInstaller> m_Installer;
    std::unique_ptr<Utils::Thread> m_ProductWait; // waits for a running product before uninstalling
    // The stage handlers read the directory and the package path on worker threads while the owner may
    // already prepare the next attempt.
    mutable std::mutex m_FieldLock;
    std::wstring m_Url;
    std::wstring m_UninstallerPath;
    std::wstring m_InstallDir;
    std::wstring m_PackagePath;
    std::wstring m_WorkersPackagePath; // the package path the downloader and runner were made for
    std::wstring m_PreviousInstallPath;
    std::wstring m_InstallLanguage;
    bool m_DesktopShortcut{true};
    bool m_QuickLaunchShortcut{true};
    bool m_AdminAct{true};
    bool m_AuthorizationAct{false};
    ReportCallback m_Callback;
    std::mutex m_StageLock; // a stage starts the next one under it; destruction closes it
    std::atomic<bool> m_Stopping{false};
};
