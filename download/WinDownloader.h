#pragma once

#include "download/Downloader.h"
#include "download/StopSignal.h"
#include "utils/Thread.h"

#include <atomic>
#include <memory>
#include <mutex>

// The system downloader: hands the whole job to the system's URL download service, three attempts,
// no integrity check.
class CWinDownloader : public CDownloader {
public:
    CWinDownloader(ReportCallback callback, std::wstring url, std::wstring targetPath);
    ~CWinDownloader() override;

    // The first call runs the worker made at construction. A later call, once that run has ended (the
    // user asked to retry), runs the download again on a new worker; during a run it does nothing.
    void Start() override;

    // Turns the download service's progress notifications into reports.
    class CBindCallback {
    public:
        // Result codes of a notification.
        static constexpr uint32_t kContinue = 0;
        static constexpr uint32_t kAbort = 0x80004004;

        uint32_t OnProgress(uint64_t progress, uint64_t maximum);
        void SetCallback(ReportCallback callback);
        void Abort() { m_Abort = true; }

    private:
        ReportCallback m_Callback;
        std::atomic<bool> m_Abort{false};
    };

private:
    void run();
    void runOnce();
    void newWorker();
    void report(int32_t code, double value, const wchar_t* text);

    CBindCallback m_BindCallback;
    ReportCallback m_Callback;
    std::wstring m_TargetPath;
    std::wstring m_Url;
    std::unique_ptr<Utils::Thread> m_WorkerThread;
    std::mutex m_StartLock; // serialises Start and destruction
    bool m_Resumed{false};  // guarded by m_StartLock
    std::atomic<bool> m_Running{false};
    std::atomic<uint32_t> m_WorkerThreadId{Utils::Thread::kNoThreadId};
    std::atomic<bool> m_RestartRequested{false};
    StopSignal m_Stop;
};
