#pragma once

#include "download/CurlHandle.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// One resumable HTTP(S) transfer of one file: learns the effective URL and the length with HEAD
// requests, fetches the file into "<target>.part" (resuming what an earlier attempt left there) and
// puts it in place of the target. Used by one thread at a time.
class CurlClient {
public:
    // Receives (speed in bytes per second, 0, percent) at most once per second during a transfer.
    using ProgressHook = std::function<void(double speed, double unused, double percent)>;

    static constexpr int kResultMoveFailed = -995;      // the finished part file could not replace the target
    static constexpr int kResultPartFileFailed = -996;  // the part file could not be opened
    static constexpr int kResultNoHandle = -997;        // no libcurl handle
    static constexpr int kResultLengthUnknown = -998;   // length unknown or below the minimum
    static constexpr double kMinimumLength = 1048576.0; // smaller files are never the package

    CurlClient(std::wstring url, std::wstring targetPath);
    // Removes the part file; a transfer still running on another thread stops at its next progress call.
    ~CurlClient();
    CurlClient(const CurlClient&) = delete;
    CurlClient& operator=(const CurlClient&) = delete;

    void SetProgressHook(ProgressHook hook) { m_ProgressHook = std::move(hook); }
    // Makes the running transfer stop (libcurl code 42); safe from any thread.
    void Abort() { m_Abort = true; }

    // 0 when the file is complete at the target path; a libcurl code or one of the results above.
    int Start();

    const std::string& EffectiveUrl() const { return m_RealUrl; }
    double Length() const { return m_Length; }
    std::wstring PartPath() const { return m_TargetPath + L".part"; }

    // HEAD requests of the discovery.
    static CurlEasy Head(const std::string& url);
    static std::string GetRealUrl(CURL* handle);
    static double GetDownloadFileLength(CURL* handle);
    static std::string GetRealUrl_Str(const std::string& url);
    static double GetDownloadFileLength_Str(const std::string& url);

private:
    static int ProgressCallback(void* client, curl_off_t totalToDownload, curl_off_t downloaded, curl_off_t,
                                curl_off_t);
    void discover(const std::string& url);
    int transfer(FILE* partFile, const std::string& partPath);

    std::wstring m_Url;
    std::wstring m_TargetPath;
    CURL* m_Transfer{nullptr};
    ProgressHook m_ProgressHook;
    double m_Length{-1.0};
    int64_t m_ResumeOffset{-1};
    int64_t m_LastProgressTime{0};
    std::atomic<bool> m_Abort{false};
    std::string m_RealUrl;
};
