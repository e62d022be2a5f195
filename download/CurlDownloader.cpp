#include "download/CurlDownloader.h"

#include "download/IntegrityCheck.h"
#include "download/RetryBudget.h"
#include "platform/TextCodec.h"
#include "utils/DebugLog.h"

#include <cstdio>

namespace {

constexpr std::chrono::milliseconds kRetryPause{500};

} // namespace

CCurlDownloader::CCurlDownloader(ReportCallback callback, std::wstring url, std::wstring targetPath)
    : m_Callback(std::move(callback)), m_TargetPath(std::move(targetPath)), m_Url(std::move(url)),
      m_Client(m_Url, m_TargetPath) {
    m_Client.SetProgressHook(
        [this](double speed, double unused, double percent) { ReportProgress(speed, unused, percent); });
    std::remove(Platform::NativeText(m_Client.PartPath()).c_str());
}

CCurlDownloader::~CCurlDownloader() {
    {
        std::lock_guard lock(m_StartLock);
        m_Stop.Stop();
    }
    m_Client.Abort();
    if (m_WorkerThread)
        m_WorkerThread->Join();
}

void CCurlDownloader::Start() {
    if (m_WorkerThreadId == Utils::CurrentThreadId()) {
        m_RestartRequested = true; // waiting for our own thread would never end
        return;
    }
    std::lock_guard lock(m_StartLock);
    if (m_Stop.Stopped())
        return;
    if (m_WorkerThread)
        m_WorkerThread->Join();
    m_WorkerThread = std::make_unique<Utils::Thread>(this, L"ABDEF", [](void* self) {
        static_cast<CCurlDownloader*>(self)->dlThreadFun();
        return 0u;
    });
    m_WorkerThreadId = m_WorkerThread->ThreadId();
    if (m_WorkerThread->Valid())
        m_WorkerThread->Resume();
}

void CCurlDownloader::dlThreadFun() {
    do {
        runOnce();
    } while (m_RestartRequested.exchange(false) && !m_Stop.Stopped());
}

void CCurlDownloader::runOnce() {
    report(DL_CODE_START, 1.0, L"");
    RetryBudget budget;
    int result = m_Client.Start();
    while (result != 0) {
        budget.Charge(result);
        if (!budget.Available() || m_Stop.Stopped()) {
            report(DL_CODE_FAIL, result, kTextLibCurl);
            return;
        }
        UTILS_LOG(L"CurlDownLoader Code=%d\r\n", result);
        if (!m_Stop.Pause(kRetryPause))
            return;
        result = m_Client.Start();
    }
    switch (CheckIntegrity(m_Client.EffectiveUrl(), m_TargetPath)) {
    case IntegrityOutcome::DigestMissing:
        report(DL_CODE_MD5, 0.0, L"curl获取url-md5失败");
        break;
    case IntegrityOutcome::Mismatch:
        // The file stays at the target; the next run fetches it whole and replaces it.
        report(DL_CODE_MD5, 0.0, L"curl文件md5校验失败");
        if (!m_RetryFlag) {
            m_RetryFlag = true;
            report(DL_CODE_RETRY, 0.0, kTextLibCurl);
        } else {
            report(DL_CODE_FAIL, 0.0, kTextLibCurl);
        }
        return;
    case IntegrityOutcome::Match:
        break;
    }
    report(DL_CODE_SUCCESS, 0.0, kTextLibCurl);
}

void CCurlDownloader::ReportProgress(double speed, double, double percent) {
    // libcurl's speed is the average so far, so nothing is reported before data has arrived.
    if (speed > 0.0 && percent <= 100.0)
        report(DL_CODE_PROGRESS, percent / 100.0, L"");
}

void CCurlDownloader::report(int32_t code, double value, const wchar_t* text) {
    if (!m_Stop.Stopped())
        m_Callback(code, value, text);
}
