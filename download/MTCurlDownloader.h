#pragma once

#include "download/DownloadPartNode.h"
#include "download/Downloader.h"
#include "download/StopSignal.h"
#include "utils/Thread.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The multi-part downloader: learns the effective URL and the length with one HEAD request, fetches
// the file as one or two byte ranges over parallel connections into "<target>_0" and "<target>_1",
// joins them into the target and checks it against the MD5 in the URL. A run that fails asks the
// owner once for a restart, which continues part files that already hold data.
class CMTCurlDownloader : public CDownloader {
public:
    // Results of joining the part files, carried by DL_CODE_FAIL.
    static constexpr int kMergeFirstPartUnopened = -3;
    static constexpr int kMergePartNotCopied = -4;
    static constexpr int kMergeRenameFailed = -5;

    struct PartFile {
        std::string path;
        int64_t size; // bytes of its range
    };
    // Appends every further part file to the first and moves the first onto `targetPath`: 0 or one
    // of the results above. The part files are left for the caller to remove.
    static int MergeParts(const std::vector<PartFile>& parts, const std::string& targetPath);

    CMTCurlDownloader(ReportCallback callback, const std::wstring& url, const std::wstring& targetPath);
    // Stops running transfers, waits for every thread of the downloader and reports nothing more. Must
    // not be called from inside one of its reports.
    ~CMTCurlDownloader() override;
    CMTCurlDownloader(const CMTCurlDownloader&) = delete;
    CMTCurlDownloader& operator=(const CMTCurlDownloader&) = delete;

    void Start() override;

private:
    void planningThreadFun();
    void Start_Down();
    bool getRealDownloadUrl(const std::string& url);
    int downloadExe(DownloadPartNode& part);
    static void downloadThreadFun(CMTCurlDownloader* self, DownloadPartNode* part);
    void waitForFinishThreadFun();
    static int progressHook(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    bool startThread(std::function<void()> body, bool partWorker);
    void threadEnded(bool partWorker);
    void freeParts();
    void removePartFiles() const;
    std::string partPath(int index) const;
    void report(int32_t code, double value, const wchar_t* text);

    std::vector<std::unique_ptr<DownloadPartNode>> m_Parts;
    ReportCallback m_Callback;
    std::wstring m_TargetPath;
    std::wstring m_Url;
    std::string m_RealUrl;
    int64_t m_Length{-1};
    double m_LastPercent{0.0};
    std::mutex m_ProgressLock;
    int64_t m_LastProgressTime{0};
    bool m_RetryFlag{false};
    std::unique_ptr<Utils::Thread> m_WorkerThread;

    // Part workers and finishing threads are detached; these let the finishing thread wait for the
    // workers and the destructor for all of them.
    std::mutex m_ThreadLock;
    std::condition_variable m_ThreadEnded;
    int32_t m_RunningParts{0};
    int32_t m_LiveThreads{0};

    std::mutex m_StartLock;  // serialises Start and destruction
    std::mutex m_ReportLock; // no report starts once the stop is set
    std::atomic<uint32_t> m_PlanningThreadId{Utils::Thread::kNoThreadId};
    std::atomic<bool> m_RestartRequested{false};
    StopSignal m_Stop;
};
