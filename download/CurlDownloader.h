#pragma once

#include "download/CurlClient.h"
#include "download/Downloader.h"
#include "download/StopSignal.h"
#include "utils/Thread.h"

#include <atomic>
#include <memory>
#include <mutex>

// The single-transfer downloader: one resumable libcurl transfer through a CurlClient, repeated
// within the retry budget, then the integrity check.
class CCurlDownloader : public CDownloader {
public:
    CCurlDownloader(ReportCallback callback, std::wstring url, std::wstring targetPath);
    // Stops a running transfer and waits for the worker; nothing is reported afterwards.
    ~CCurlDownloader() override;

    // Called from inside this downloader's own DL_CODE_RETRY report, the new run follows on the same
    // worker thread once the report returns.
    void Start() override;

private:
    void dlThreadFun();
    void runOnce();
    void ReportProgress(double speed, double unused, double percent);
    void report(int32_t code, double value, const wchar_t* text);

    ReportCallback m_Callback;
    std::wstring m_TargetPath;
    std::wstring m_Url;
    CurlClient m_Client;
    std::unique_ptr<Utils::Thread> m_WorkerThread;
    bool m_RetryFlag{false};
    std::mutex m_StartLock; // serialises Start and destruction
    std::atomic<uint32_t> m_WorkerThreadId{Utils::Thread::kNoThreadId};
    std::atomic<bool> m_RestartRequested{false};
    StopSignal m_Stop;
};
