#include "download/WinDownloader.h"

#include "platform/UrlDownload.h"
#include "utils/DebugLog.h"
#include "utils/TextConversion.h"

namespace {

constexpr int kAttempts = 3;
constexpr std::chrono::milliseconds kRetryPause{1000};

} // namespace

uint32_t CWinDownloader::CBindCallback::OnProgress(uint64_t progress, uint64_t maximum) {
    if (m_Abort)
        return kAbort;
    if (maximum == 0)
        return kContinue;
    m_Callback(DL_CODE_PROGRESS,
               static_cast<double>(static_cast<uint32_t>(progress)) /
                   static_cast<double>(static_cast<uint32_t>(maximum)),
               L"");
    return kContinue;
}

void CWinDownloader::CBindCallback::SetCallback(ReportCallback callback) {
    m_Callback = std::move(callback);
}

CWinDownloader::CWinDownloader(ReportCallback callback, std::wstring url, std::wstring targetPath)
    : m_Callback(std::move(callback)), m_TargetPath(std::move(targetPath)), m_Url(std::move(url)) {
    newWorker();
}

CWinDownloader::~CWinDownloader() {
    {
        std::lock_guard lock(m_StartLock);
        m_Stop.Stop();
    }
    m_BindCallback.Abort();
    m_WorkerThread->Join();
}

void CWinDownloader::newWorker() {
    m_WorkerThread = std::make_unique<Utils::Thread>(this, L"ABDEF", [](void* self) {
        static_cast<CWinDownloader*>(self)->run();
        return 0u;
    });
}

void CWinDownloader::Start() {
    // From inside this downloader's own final report: the worker runs again once the report returns.
    if (m_WorkerThreadId == Utils::CurrentThreadId()) {
        if (!m_Running)
            m_RestartRequested = true;
        return;
    }
    std::lock_guard lock(m_StartLock);
    if (m_Stop.Stopped() || m_Running)
        return;
    if (m_Resumed) {
        m_WorkerThread->Join(); // the last run has made its final report and is ending
        newWorker();
    }
    m_BindCallback.SetCallback(m_Callback);
    m_Running = true;
    m_Resumed = true;
    m_WorkerThreadId = m_WorkerThread->ThreadId();
    if (!m_WorkerThread->Resume())
        m_Running = false;
}

void CWinDownloader::run() {
    do {
        runOnce();
    } while (m_RestartRequested.exchange(false) && !m_Stop.Stopped());
}

void CWinDownloader::runOnce() {
    m_Running = true;
    report(DL_CODE_START, 1.0, L"");
    std::wstring url = m_Url.starts_with(L"file:///") ? m_Url : Utils::UrlEncode(m_Url);
    auto progress = [this](uint64_t now, uint64_t total) {
        return m_BindCallback.OnProgress(now, total) == CBindCallback::kContinue;
    };
    uint32_t result = Platform::kDownloadFailure;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        result = Platform::DownloadUrlToFile(url, m_TargetPath, progress);
        if (result == Platform::kDownloadOk)
            break;
        if (!m_Stop.Pause(kRetryPause))
            break;
    }
    // The run is over before its final report, so that a Start prompted by the report runs again.
    m_Running = false;
    if (result == Platform::kDownloadOk)
        report(DL_CODE_SUCCESS, 0.0, kTextUrlDownload);
    else
        report(DL_CODE_FAIL, static_cast<int32_t>(result), kTextUrlDownload);
}

void CWinDownloader::report(int32_t code, double value, const wchar_t* text) {
    if (!m_Stop.Stopped())
        m_Callback(code, value, text);
}
