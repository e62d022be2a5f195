#include "install/InstallSession.h"

#include "app/config/InstallerConfig.h"
#include "download/Downloader.h"
#include "install/FailureReport.h"
#include "install/InstallCodes.h"
#include "install/InstallDirectory.h"
#include "platform/KnownFolders.h"
#include "platform/Shell.h"
#include "utils/Folders.h"
#include "utils/HardDiskManager.h"
#include "utils/Network.h"
#include "utils/ProcessFinder.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr wchar_t kCaptionTip[] = L"温馨提示";
constexpr wchar_t kCaptionMessage[] = L"消息";
constexpr wchar_t kTextProductRunning[] = L"安装程序检测到Tovaclip\r\n正在运行，请退出程序后再安装";
constexpr wchar_t kTextInvalidPath[] = L"无效路径";
constexpr wchar_t kTextBadNetwork[] = L"当前网络环境较差，请在网络通畅时进行安装";
constexpr wchar_t kTextInstallFailed[] = L"安装失败";
constexpr wchar_t kTextProgressPatient[] = L"正在安装中:%d%%，请耐心等待...";
constexpr wchar_t kTextProgress[] = L"正在安装中:%d%%，请稍候...";
constexpr wchar_t kTextProgressReset[] = L"正在安装中:0%，请稍候...";
constexpr wchar_t kUninstallerCopyName[] = L"Tovaclip_un_asa.exe";
constexpr int kLowDiskTextId = 104;
constexpr double kGiB = 1073741824.0;
constexpr float kPatienceSeconds = 60.0f;
constexpr size_t kProgressBuffer = 250;

std::wstring formatPercent(const std::wstring& pattern, int percent) {
    wchar_t buffer[kProgressBuffer] = {};
    std::swprintf(buffer, kProgressBuffer, pattern.c_str(), percent);
    return buffer;
}

} // namespace

CInstallSession::CInstallSession(InstallView& view, SessionPoster post)
    : m_View(view), m_Post(std::move(post)) {}

CInstallSession::~CInstallSession() {
    m_DownloadInstaller.reset();
    if (m_NetCheckThread)
        m_NetCheckThread->Join();
}

void CInstallSession::Init() {
    Prepare();
    ActOnEarlierInstall();
}

void CInstallSession::Prepare() {
    m_DownloadInstaller = std::make_unique<CDownloadInstaller>(
        [this](int32_t code, double value, const wchar_t* text) { postEvent(code, value, text); });
    m_Earlier = EarlierInstallation::Read();
    m_HasEarlierInstall = !m_Earlier.InstallPath.empty();
}

void CInstallSession::ActOnEarlierInstall() {
    if (!m_HasEarlierInstall)
        return;
    if (InstallerConfig::Instance().m_InsNew) {
        StartInstall(m_Earlier.InstallPath, true, true);
        return;
    }
    if (Utils::FindProcessByName(kProductExecutable) != 0) {
        showProductRunning();
        m_View.Close();
        return;
    }
    switch (m_View.AskAboutEarlierInstall()) {
    case InstallView::EarlierInstallAnswer::InstallLatest:
        StartInstall(m_Earlier.InstallPath, true, true);
        break;
    case InstallView::EarlierInstallAnswer::OpenProduct:
        m_PostInstall.ProductExecutable = JoinPath(m_Earlier.InstallPath, kProductExecutable);
        Platform::StartProgram(m_PostInstall.ProductExecutable, m_Earlier.InstallPath);
        m_View.Close();
        break;
    case InstallView::EarlierInstallAnswer::Closed:
        m_View.Close();
        break;
    }
}

std::wstring CInstallSession::DefaultDirectory() {
    m_AdminFacts = AdminFacts::Read();
    return DefaultInstallDirectory(m_Earlier, m_AdminFacts);
}

std::wstring CInstallSession::CustomDirectory(const std::wstring& fieldText) {
    m_AdminFacts = AdminFacts::Read();
    return CustomInstallDirectory(fieldText, m_Earlier, m_AdminFacts);
}

void CInstallSession::InstallDefault(bool agreementAccepted) {
    ReportClick(properties(), L"立即安装");
    if (agreementAccepted)
        StartInstall(DefaultDirectory(), true, true);
}

void CInstallSession::OpenCustomPage() {
    ReportClick(properties(), L"自定义安装");
    SelectPage(kCustomPage);
}

void CInstallSession::InstallCustom(const std::wstring& fieldText, bool desktopShortcut,
                                    bool quickLaunchShortcut) {
    ReportClick(properties(), L"自定义安装_立即安装");
    m_CustomFieldText = fieldText;
    m_CustomDesktop = desktopShortcut;
    m_CustomQuickLaunch = quickLaunchShortcut;
    StartInstall(CustomDirectory(fieldText), desktopShortcut, quickLaunchShortcut);
}

void CInstallSession::OpenProduct() {
    ReportClick(properties(), L"立即体验");
    if (m_PostInstall.StartupStyle == kUserStartup)
        StartProduct(m_PostInstall, [this] { m_View.PumpMessages(); });
    m_View.Close();
}

void CInstallSession::StartInstall(const std::wstring& directory, bool desktopShortcut,
                                   bool quickLaunchShortcut) {
    const InstallerConfig& config = InstallerConfig::Instance();
    if (!config.m_InsNew && Utils::FindProcessByName(kUninstallerCopyName) != 0) {
        showProductRunning();
        if (m_HasEarlierInstall)
            m_View.Close();
        return;
    }
    if (!config.m_InsNew && Utils::FindProcessByName(kProductExecutable) != 0) {
        showProductRunning();
        m_View.Close();
        return;
    }
    m_View.EnableInstallButton(false);
    if (!Utils::CreateDirectories(directory)) {
        m_View.ShowMessage(InstallView::MessageBox::Warning, kCaptionTip, kTextInvalidPath);
        OnInstallNotification(false);
        return;
    }
    Utils::HardDiskManager disk; // a failed query leaves 0 bytes: no room
    disk.CheckFreeSpace(directory);
    if (static_cast<double>(disk.m_FreeBytesAvailable) / kGiB < 1.0) {
        m_View.ShowMessage(InstallView::MessageBox::Warning, kCaptionTip,
                           m_View.InterfaceText(kLowDiskTextId));
        OnInstallNotification(false);
        return;
    }
    m_PostInstall.InstallDir = directory;
    std::wstring uninstaller = KeepsEarlierInstallation(directory, m_Earlier) ? L"" : m_Earlier.UnInstallEp;
    m_DownloadInstaller->Setup(config.m_DownloadUrl, m_Earlier.InstallPath, uninstaller, directory,
                               desktopShortcut, quickLaunchShortcut, m_AdminFacts.AdminAct,
                               m_AdminFacts.AuthorizationAct, m_View.SelectedLocaleName());
    m_InstallStarted = true;
    if (!config.m_IsCheckNet) {
        m_Post([this] { OnInstallNotification(true); });
        return;
    }
    if (m_NetCheckThread)
        m_NetCheckThread->Join();
    m_NetCheckThread = std::make_unique<Utils::Thread>(this, L"ABDEF", [](void* self) {
        auto* session = static_cast<CInstallSession*>(self);
        uint32_t result = Utils::CheckNetwork();
        session->m_Post([session, result] { session->OnNetworkChecked(result); });
        return 0u;
    });
    m_NetCheckThread->Resume();
}

void CInstallSession::OnNetworkChecked(uint32_t result) {
    bool online = (result >> 16) == 0;
    if (!online)
        m_View.ShowMessage(InstallView::MessageBox::Warning, kCaptionTip, kTextBadNetwork);
    OnInstallNotification(online);
}

void CInstallSession::OnInstallNotification(bool proceed) {
    if (proceed) {
        m_PageBeforeInstall = m_Page;
        SelectPage(kProgressPage);
        ReportView(properties());
        m_DownloadInstaller->Start();
    } else {
        m_View.AttemptEnded(false);
    }
    m_View.EnableInstallButton(true);
}

void CInstallSession::OnDownloaderStartMessage() {
    if (m_DownloaderStartReported)
        return;
    m_DownloaderStartReported = true;
    reportTask(L"下载器启动", L"", 0.0);
}

void CInstallSession::SelectPage(int page) {
    m_Page = page;
    m_View.ShowPage(page);
}

void CInstallSession::postEvent(int32_t code, double value, const wchar_t* text) {
    m_Post([this, code, value, copy = std::wstring(text)] { OnInstallEvent(code, value, copy); });
}

void CInstallSession::OnInstallEvent(int32_t code, double value, const std::wstring& text) {
    const InstallerConfig& config = InstallerConfig::Instance();
    m_View.ShowEvent(code, value, text);
    switch (code) {
    case DL_CODE_START:
        if (!m_DownloaderStartReported) {
            m_DownloaderStartReported = true;
            m_AbGroup = config.m_AbGroup;
            reportTask(L"下载器启动", L"", 0.0);
        }
        m_Stopwatch.Start();
        reportTask(L"开始下载大包", L"", 0.0);
        break;
    case DL_CODE_PROGRESS:
        showProgress(static_cast<int>(value * config.m_DownloadScale * 100.0));
        break;
    case DL_CODE_SUCCESS:
        reportTask(L"大包下载完毕", L"", m_Stopwatch.Elapsed());
        break;
    case DL_CODE_FAIL:
        onDownloadFailed(value, text);
        break;
    case DL_CODE_MD5:
        reportTask(L"下载失败原因", ShortFailureText(value, text), 0.0);
        break;
    case IST_CODE_START:
        WriteHandOverFiles(m_PostInstall.InstallDir);
        break;
    case IST_CODE_PROGRESS: {
        // Every install event moves the bar on by at least 0.15 of the install share, up to 0.95.
        m_InstallShown = std::max(std::min(m_InstallShown + 0.15, 0.95), value);
        double scale = config.m_DownloadScale;
        showProgress(static_cast<int>(((1.0 - scale) * m_InstallShown + scale) * 100.0));
        break;
    }
    case IST_CODE_SUCCESS:
        onInstallFinished();
        break;
    case IST_CODE_FAIL:
        onInstallFailed(value, text);
        break;
    case IST_CODE_MESSAGE:
        m_View.ShowMessage(InstallView::MessageBox::Info, kCaptionMessage, text);
        break;
    case UNIST_CODE_FAIL:
    case UNIST_CODE_ERROR:
        onUninstallFailed();
        break;
    default:
        m_PostInstall.Apply(code, value, text);
        break;
    }
}

void CInstallSession::showProgress(int percent) {
    std::wstring pattern = m_View.ProgressFormat();
    if (pattern.empty())
        pattern = m_Stopwatch.Elapsed() > kPatienceSeconds ? kTextProgressPatient : kTextProgress;
    m_ShownPercent = std::clamp(percent, 0, 100); // the bar keeps its value within its range
    m_View.ShowProgress(m_ShownPercent, formatPercent(pattern, percent));
}

void CInstallSession::onDownloadFailed(double value, const std::wstring& text) {
    reportTask(L"下载失败原因", DownloadFailureText(value, text, m_DownloadInstaller->PackagePath()), 0.0);
    InstallView::DownloadFailedAnswer answer = m_View.AskAfterDownloadFailure();
    bool retrying = answer == InstallView::DownloadFailedAnswer::Retry;
    if (answer == InstallView::DownloadFailedAnswer::Later && m_HasEarlierInstall)
        m_View.Close();
    int pageBefore = m_PageBeforeInstall;
    if (retrying && pageBefore == kWelcomePage)
        StartInstall(DefaultDirectory(), true, true);
    else if (retrying && pageBefore == kCustomPage)
        StartInstall(CustomDirectory(m_CustomFieldText), m_CustomDesktop, m_CustomQuickLaunch);
    SelectPage(pageBefore);
    if (!retrying)
        m_View.AttemptEnded(false);
}

void CInstallSession::onInstallFinished() {
    reportTask(L"安装成功", L"", m_Stopwatch.Elapsed());
    m_ShownPercent = 100;
    SelectPage(kFinishedPage);
    RegisterInstallation(m_PostInstall);
    WriteHandOverFiles(m_PostInstall.InstallDir);
    if (m_PostInstall.StartupStyle == kAutoStartup)
        StartProduct(m_PostInstall, [this] { m_View.PumpMessages(); });
    if (m_PostInstall.TopShowDelay != 0)
        m_View.SetTimer(10, m_PostInstall.TopShowDelay);
    if (m_PostInstall.FinishCloseDelay != 0)
        m_View.SetTimer(11, m_PostInstall.FinishCloseDelay);
    m_View.AttemptEnded(true);
}

void CInstallSession::onInstallFailed(double value, const std::wstring& text) {
    reportTask(L"安装失败原因", ShortFailureText(value, text), 0.0);
    m_View.ShowMessage(InstallView::MessageBox::Warning, kCaptionTip,
                       text.empty() ? kTextInstallFailed : text);
    if (m_ShownPercent >= 70) {
        m_ShownPercent = 0;
        m_View.ShowProgress(0, kTextProgressReset);
    }
    SelectPage(kWelcomePage);
    m_View.AttemptEnded(false);
}

void CInstallSession::onUninstallFailed() {
    showProductRunning();
    SelectPage(m_PageBeforeInstall);
    if (m_HasEarlierInstall)
        m_View.Close();
    m_View.AttemptEnded(false);
}

void CInstallSession::showProductRunning() {
    m_View.ShowMessage(InstallView::MessageBox::Info, kCaptionTip, kTextProductRunning);
}

void CInstallSession::reportTask(const std::wstring& name, const std::wstring& reason, double elapsed) {
    ReportTask(name, reason, elapsed, properties());
}
