#include "install/DownloadInstaller.h"

#include "app/config/InstallerConfig.h"
#include "install/InstallCodes.h"
#include "install/Installer.h"
#include "install/UnInstaller.h"
#include "platform/KnownFolders.h"
#include "platform/TextCodec.h"
#include "utils/DebugLog.h"
#include "utils/Folders.h"
#include "utils/ProcessFinder.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

constexpr wchar_t kUninstallerCopyName[] = L"Tovaclip_un_asa.exe";
constexpr std::chrono::milliseconds kProductPoll{100};

void deleteFile(const std::wstring& path) {
    std::remove(Platform::NativeText(path).c_str());
}

// The package of the previous clean-up, shared by every pipeline of the process.
std::mutex g_RememberedLock;
std::wstring g_RememberedPackage;

} // namespace

CDownloadInstaller::CDownloadInstaller(ReportCallback callback) : m_Callback(std::move(callback)) {}

CDownloadInstaller::~CDownloadInstaller() {
    {
        std::lock_guard lock(m_StageLock);
        m_Stopping = true;
    }
    if (m_ProductWait)
        m_ProductWait->Join();
    m_Downloader.reset();
    m_Installer.reset();
    m_UnInstaller.reset();
}

std::wstring CDownloadInstaller::PackagePathFor(const std::wstring& installDir) {
    return installDir + Platform::kPathSeparator + L"__Package_" + InstallerConfig::Instance().m_ProductKey +
           L".exe";
}

void CDownloadInstaller::Setup(const std::wstring& url, const std::wstring& previousInstallPath,
                               const std::wstring& uninstallerPath, const std::wstring& installDir,
                               bool desktopShortcut, bool quickLaunchShortcut, bool adminAct,
                               bool authorizationAct, const std::wstring& installLanguage) {
    m_Url = url;
    m_PreviousInstallPath = previousInstallPath;
    m_UninstallerPath = uninstallerPath;
    m_InstallDir = installDir;
    m_DesktopShortcut = desktopShortcut;
    m_QuickLaunchShortcut = quickLaunchShortcut;
    m_AdminAct = adminAct;
    m_AuthorizationAct = authorizationAct;
    m_InstallLanguage = installLanguage;
}

void CDownloadInstaller::Start() {
    const InstallerConfig& config = InstallerConfig::Instance();
    {
        std::lock_guard lock(m_FieldLock);
        m_PackagePath = PackagePathFor(m_InstallDir);
    }
    UTILS_LOG(L"DL_TYPE=%d\r\n", config.m_DownloadType);

    // Workers made for another directory would download to and run the package from there.
    if (m_Downloader && m_WorkersPackagePath != m_PackagePath) {
        m_Downloader.reset();
        m_Installer.reset();
    }
    if (!m_Downloader) {
        m_Downloader = CreateDownloader(
            config.m_DownloadType,
            [this](int32_t code, double value, const wchar_t* text) { onDownloadEvent(code, value, text); },
            m_Url, m_PackagePath);
    }
    if (!m_Installer) {
        m_Installer = std::make_unique<CInstaller>(
            [this](int32_t code, double value, const wchar_t* text) { onInstallEvent(code, value, text); },
            L"\"" + m_PackagePath + L"\"", m_InstallDir, m_QuickLaunchShortcut, m_DesktopShortcut,
            m_AdminAct);
        m_WorkersPackagePath = m_PackagePath;
    }
    m_Installer->m_InstallDir = m_InstallDir;
    m_Installer->m_DesktopShortcut = m_DesktopShortcut;
    m_Installer->m_QuickLaunchShortcut = m_QuickLaunchShortcut;
    m_Installer->m_AdminAct = m_AdminAct;
    m_Installer->m_AuthorizationAct = m_AuthorizationAct;
    m_Installer->m_InstallLanguage = m_InstallLanguage;

    if (m_UninstallerPath.empty() || !Utils::FileExists(m_UninstallerPath)) {
        m_Downloader->Start();
        return;
    }
    // The earlier installation's uninstaller removes its own folder, so a copy in our temporary
    // folder runs instead; a failed copy is reported by the runner, which finds no file.
    std::wstring tempDir = Utils::GetTempDir();
    std::wstring copyPath = tempDir.empty() ? std::wstring() : tempDir + kUninstallerCopyName;
    std::error_code ignored;
    std::filesystem::copy_file(Platform::NativeText(m_UninstallerPath), Platform::NativeText(copyPath),
                               std::filesystem::copy_options::overwrite_existing, ignored);
    m_UnInstaller = std::make_unique<CUnInstaller>(
        [this](int32_t code, double value, const wchar_t* text) { onUninstallEvent(code, value, text); },
        copyPath, Platform::DirectoryOf(m_UninstallerPath));
    startUninstall(config.m_InsNew);
}

void CDownloadInstaller::startUninstall(bool waitForProduct) {
    if (!waitForProduct) {
        m_UnInstaller->Start();
        return;
    }
    // The product must have exited before its uninstaller runs. The wait happens on a worker so that
    // the caller's thread (the window's) stays responsive.
    if (m_ProductWait)
        m_ProductWait->Join();
    m_ProductWait = std::make_unique<Utils::Thread>(this, L"ProductWait", [](void* self) {
        auto* pipeline = static_cast<CDownloadInstaller*>(self);
        do {
            std::this_thread::sleep_for(kProductPoll);
        } while (!pipeline->m_Stopping && Utils::FindProcessByName(kProductExecutable) != 0);
        pipeline->startStage([pipeline] { pipeline->m_UnInstaller->Start(); });
        return 0u;
    });
    m_ProductWait->Resume();
}

template <typename Stage> void CDownloadInstaller::startStage(Stage stage) {
    std::lock_guard lock(m_StageLock);
    if (!m_Stopping)
        stage();
}

void CDownloadInstaller::onDownloadEvent(int32_t code, double value, const wchar_t* text) {
    m_Callback(code, value, text);
    switch (code) {
    case DL_CODE_START:
        Utils::CreateDirectories(installDir());
        UTILS_LOG(L"DL_CODE_START\r\n");
        break;
    case DL_CODE_PROGRESS:
        UTILS_LOG(L"DL_CODE_PROGRESS\r\n");
        break;
    case DL_CODE_SUCCESS:
        UTILS_LOG(L"DOWNLOAD_SUCCESS\r\n");
        startStage([this] { m_Installer->Start(); });
        UTILS_LOG(L"DL_CODE_SUCCESS\r\n");
        break;
    case DL_CODE_FAIL:
        cleanUpPackage();
        UTILS_LOG(L"DL_CODE_FAIL\r\n");
        break;
    case DL_CODE_RETRY:
        UTILS_LOG(L"DL_CODE_RETRY\r\n");
        startStage([this] { m_Downloader->Start(); });
        break;
    default:
        break;
    }
}

void CDownloadInstaller::onUninstallEvent(int32_t code, double value, const wchar_t* text) {
    m_Callback(code, value, text);
    switch (code) {
    case UNIST_CODE_PROGRESS:
        UTILS_LOG(L"UNIST_CODE_PROGRESS\r\n");
        break;
    case UNIST_CODE_SUCCESS:
        UTILS_LOG(L"UNIST_CODE_SUCCESS\r\n");
        startStage([this] {
            if (m_Installer)
                m_Downloader->Start();
        });
        break;
    case UNIST_CODE_FAIL:
        UTILS_LOG(L"UNIST_CODE_FAIL\r\n");
        break;
    case UNIST_CODE_ERROR:
        UTILS_LOG(L"UNIST_CODE_ERROR\r\n");
        break;
    default:
        break;
    }
}

void CDownloadInstaller::onInstallEvent(int32_t code, double value, const wchar_t* text) {
    m_Callback(code, value, text);
    switch (code) {
    case IST_CODE_START:
        UTILS_LOG(L"IST_CODE_START\r\n");
        break;
    case IST_CODE_SUCCESS:
        cleanUpPackage();
        UTILS_LOG(L"INSTALL_SUCCESS\r\n");
        break;
    case IST_CODE_FAIL:
        cleanUpPackage();
        UTILS_LOG(L"IST_CODE_FAIL\r\n");
        break;
    default:
        break;
    }
}

void CDownloadInstaller::cleanUpPackage() {
    std::wstring package = PackagePath();
    deleteFile(package);
    std::lock_guard lock(g_RememberedLock);
    if (!g_RememberedPackage.empty())
        deleteFile(g_RememberedPackage);
    g_RememberedPackage = package;
}

std::wstring CDownloadInstaller::PackagePath() const {
    std::lock_guard lock(m_FieldLock);
    return m_PackagePath;
}

std::wstring CDownloadInstaller::installDir() const {
    std::lock_guard lock(m_FieldLock);
    return m_InstallDir;
}
