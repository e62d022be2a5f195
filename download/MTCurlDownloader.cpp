#include "download/MTCurlDownloader.h"

#include "app/config/InstallerConfig.h"
#include "download/IntegrityCheck.h"
#include "download/RetryBudget.h"
#include "platform/TextCodec.h"
#include "utils/DebugLog.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <thread>

namespace {

constexpr int64_t kPartUnit = 10485760; // a file gets one part per 10 MiB, at most two
constexpr int64_t kMaxParts = 2;
constexpr int64_t kMinimumLength = 256;
constexpr int64_t kLengthLimit = int64_t{1} << 31; // ranges keep to 32-bit offsets
constexpr long kConnectTimeoutSeconds = 60;
constexpr long kLowSpeedLimit = 1;
constexpr long kLowSpeedSeconds = 5;
constexpr size_t kMergeBlock = 1024;
constexpr std::chrono::milliseconds kPartStagger{100};
constexpr std::chrono::milliseconds kRetryPause{400};
constexpr bool kPartWorker = true;

using File = std::unique_ptr<FILE, DownloadPartNode::FileCloser>;

} // namespace

CMTCurlDownloader::CMTCurlDownloader(ReportCallback callback, const std::wstring& url,
                                     const std::wstring& targetPath)
    : m_Callback(std::move(callback)), m_TargetPath(targetPath), m_Url(url) {
    std::remove(Platform::NativeText(m_TargetPath).c_str());
    removePartFiles();
}

CMTCurlDownloader::~CMTCurlDownloader() {
    {
        std::lock_guard lock(m_ReportLock);
        m_Stop.Stop();
    }
    {
        std::lock_guard lock(m_StartLock);
        if (m_WorkerThread)
            m_WorkerThread->Join();
    }
    // Not under the start lock: a finishing thread may be inside Start, waiting for it.
    std::unique_lock lock(m_ThreadLock);
    m_ThreadEnded.wait(lock, [this] { return m_LiveThreads == 0; });
}

void CMTCurlDownloader::Start() {
    if (m_PlanningThreadId == Utils::CurrentThreadId()) {
        m_RestartRequested = true; // waiting for our own thread would never end
        return;
    }
    std::lock_guard lock(m_StartLock);
    if (m_Stop.Stopped())
        return;
    if (m_WorkerThread) {
        m_WorkerThread->Join();
        m_WorkerThread.reset();
    }
    m_WorkerThread = std::make_unique<Utils::Thread>(this, L"ABDEF", [](void* self) {
        static_cast<CMTCurlDownloader*>(self)->planningThreadFun();
        return 0u;
    });
    m_PlanningThreadId = m_WorkerThread->ThreadId();
    if (m_WorkerThread->Valid())
        m_WorkerThread->Resume();
}

void CMTCurlDownloader::planningThreadFun() {
    try {
        do {
            Start_Down();
        } while (m_RestartRequested.exchange(false) && !m_Stop.Stopped());
    } catch (...) {
    }
    m_PlanningThreadId = Utils::Thread::kNoThreadId;
}

void CMTCurlDownloader::Start_Down() {
    report(DL_CODE_START, 1.0, L"");
    UTILS_LOG(L"start download\r\n");
    const std::string target = Platform::NativeText(m_TargetPath);
    const std::string url = CurlUrlText(m_Url);
    std::remove(target.c_str());
    if (m_LastPercent == 0.0)
        removePartFiles();
    if (m_RealUrl.empty() || m_Length < kMinimumLength) {
        if (!getRealDownloadUrl(url)) {
            report(DL_CODE_FAIL, 0.0, kTextLibCurl);
            return;
        }
    }
    if (m_Stop.Stopped())
        return;

    const int64_t count = std::clamp<int64_t>(m_Length / kPartUnit, 1, kMaxParts);
    const int64_t size = m_Length / count;
    int64_t first = 0;
    for (int64_t i = 0; i < count; ++i) {
        int64_t partSize = size + (i == count - 1 ? m_Length % count : 0);
        m_Parts.push_back(std::make_unique<DownloadPartNode>(partPath(static_cast<int>(i)), m_RealUrl, first,
                                                             first + partSize - 1));
        first += partSize;
    }

    bool started = false;
    for (auto& part : m_Parts) {
        if (part->m_Status != DownloadPartNode::kStatusPending)
            continue;
        if (started && !m_Stop.Pause(kPartStagger))
            return;
        DownloadPartNode* node = part.get();
        startThread([this, node] { downloadThreadFun(this, node); }, kPartWorker);
        started = true;
    }
    auto finishing = [this] {
        try {
            waitForFinishThreadFun();
        } catch (...) {
        }
        threadEnded(!kPartWorker);
    };
    if (!startThread(finishing, !kPartWorker))
        waitForFinishThreadFun(); // no thread to spare: finish here rather than never report
}

bool CMTCurlDownloader::getRealDownloadUrl(const std::string& url) {
    m_RealUrl.clear();
    m_Length = 0;
    if (!InstallerConfig::Instance().m_HttpReady)
        return false;
    CurlEasy handle(curl_easy_init());
    CurlList headers(curl_slist_append(nullptr, "Connection: keep-alive"));
    if (!handle || !headers)
        return false;
    CURL* h = handle.get();
    CURLcode options = CurlOptions(h)
                           .Set(CURLOPT_HTTPHEADER, headers.get())
                           .Set(CURLOPT_URL, url.c_str())
                           .Set(CURLOPT_FOLLOWLOCATION, 1L)
                           .Set(CURLOPT_NOBODY, 1L)
                           .Set(CURLOPT_SSL_VERIFYPEER, 0L)
                           .Set(CURLOPT_SSL_VERIFYHOST, 0L)
                           .Set(CURLOPT_WRITEFUNCTION, DiscardBody)
                           .Set(CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds)
                           .Result();
    if (options != CURLE_OK || curl_easy_perform(h) != CURLE_OK)
        return false;

    char* effective = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective && *effective) {
        m_RealUrl = effective;
        UTILS_LOG(L"Download File real url %ls\r\n", Platform::FromNativeText(m_RealUrl).c_str());
    }
    curl_off_t length = -1;
    long status = 0;
    if (curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
        curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && status >= 200 && status <= 399) {
        // A length that does not fit the 32-bit offsets makes the file unusable.
        m_Length = length < kLengthLimit ? static_cast<int64_t>(length) : -1;
        UTILS_LOG(L"Download File Length %lld\r\n", static_cast<long long>(m_Length));
    }
    return !m_RealUrl.empty() && m_Length >= kMinimumLength;
}

int CMTCurlDownloader::downloadExe(DownloadPartNode& part) {
    char range[64];
    snprintf(range, sizeof range, "%lld-%lld", static_cast<long long>(part.m_Position),
             static_cast<long long>(part.m_LastByte));
    CURL* h = part.m_Handle.get();
    int failed = 0;
    auto set = [&](CURLoption option, auto value) { failed |= curl_easy_setopt(h, option, value); };
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_URL, part.m_Url.c_str());
    set(CURLOPT_TIMEOUT, 0L);
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_WRITEFUNCTION, &DownloadPartNode::WriteHook);
    set(CURLOPT_WRITEDATA, static_cast<void*>(&part));
    set(CURLOPT_NOPROGRESS, 0L);
    set(CURLOPT_XFERINFOFUNCTION, &CMTCurlDownloader::progressHook);
    set(CURLOPT_XFERINFODATA, static_cast<void*>(this));
    set(CURLOPT_FAILONERROR, 1L);
    set(CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    set(CURLOPT_SSL_VERIFYPEER, 0L);
    set(CURLOPT_SSL_VERIFYHOST, 0L);
    set(CURLOPT_LOW_SPEED_LIMIT, kLowSpeedLimit);
    set(CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds);
    set(CURLOPT_RANGE, static_cast<const char*>(range));
    if (failed != 0)
        return failed;

    part.BeginAttempt();
    int result = curl_easy_perform(h);
    if (result != CURLE_OK)
        UTILS_LOG(L"error:%d:%ls\r\n", result, CurlErrorText(result).c_str());
    else
        UTILS_LOG(L"curl_easy_cleanup\r\n");
    // The write hook refuses what a server sends beyond the range; the range itself is all there.
    if (result == CURLE_WRITE_ERROR && part.RangeFull())
        result = CURLE_OK;
    curl_easy_reset(h);
    if (result == CURLE_OK)
        part.CloseFile();
    part.m_Status = result;
    return result;
}

void CMTCurlDownloader::downloadThreadFun(CMTCurlDownloader* self, DownloadPartNode* part) {
    try {
        RetryBudget budget;
        int result = self->downloadExe(*part);
        while (result != CURLE_OK && budget.Available() && !self->m_Stop.Stopped()) {
            budget.Charge(result);
            UTILS_LOG(L"CurlDownLoader Code=%d\r\n", result);
            if (!self->m_Stop.Pause(kRetryPause))
                break;
            result = self->downloadExe(*part);
        }
        part->CloseFile();
    } catch (...) {
    }
    self->threadEnded(kPartWorker);
}

void CMTCurlDownloader::waitForFinishThreadFun() {
    {
        std::unique_lock lock(m_ThreadLock);
        m_ThreadEnded.wait(lock, [this] { return m_RunningParts == 0; });
    }
    if (m_Stop.Stopped())
        return;

    const std::string target = Platform::NativeText(m_TargetPath);
    auto failed = std::ranges::find_if(
        m_Parts, [](const auto& part) { return part->m_Status != DownloadPartNode::kStatusComplete; });
    if (failed != m_Parts.end()) {
        const double value = (*failed)->m_Status;
        freeParts();
        if (m_LastPercent == 0.0)
            removePartFiles(); // nothing worth continuing
        if (!m_RetryFlag) {
            m_RetryFlag = true;
            report(DL_CODE_RETRY, value, kTextLibCurl);
        } else {
            m_LastPercent = 0.0;
            report(DL_CODE_FAIL, value, kTextLibCurl);
        }
        return;
    }

    m_LastPercent = 0.0;
    std::vector<PartFile> files;
    for (const auto& part : m_Parts)
        files.push_back({part->m_PartPath, part->Size()});
    freeParts();
    const int merged = MergeParts(files, target);
    removePartFiles();
    if (merged != 0) {
        report(DL_CODE_FAIL, merged, kTextLibCurl);
        return;
    }
    if (m_Stop.Stopped())
        return;

    switch (CheckIntegrity(m_RealUrl, m_TargetPath)) {
    case IntegrityOutcome::DigestMissing:
        report(DL_CODE_MD5, 0.0, L"mtcurl获取url-md5失败");
        break;
    case IntegrityOutcome::Mismatch:
        report(DL_CODE_MD5, 0.0, L"mtcurl文件md5校验失败");
        std::remove(target.c_str());
        if (!m_RetryFlag) {
            m_RetryFlag = true;
            UTILS_LOG(L"finish recv, md5 chaek failed retry once.\r\n");
            report(DL_CODE_RETRY, 0.0, kTextLibCurl);
        } else {
            UTILS_LOG(L"finish recv, md5 chaek failed and retry failed.\r\n");
            report(DL_CODE_FAIL, 0.0, kTextLibCurl);
        }
        return;
    case IntegrityOutcome::Match:
        break;
    }
    UTILS_LOG(L"finish recv\r\n");
    report(DL_CODE_SUCCESS, 0.0, kTextLibCurl);
}

int CMTCurlDownloader::MergeParts(const std::vector<PartFile>& parts, const std::string& targetPath) {
    File first(fopen(parts.front().path.c_str(), "ab+"));
    if (!first)
        return kMergeFirstPartUnopened;
    for (size_t i = 1; i < parts.size(); ++i) {
        File part(fopen(parts[i].path.c_str(), "rb+"));
        int64_t copied = 0;
        bool writeFailed = false;
        if (part) {
            char block[kMergeBlock];
            size_t read;
            while (!writeFailed && (read = fread(block, 1, sizeof block, part.get())) > 0) {
                size_t written = fwrite(block, 1, read, first.get());
                copied += static_cast<int64_t>(written);
                writeFailed = written != read;
            }
        }
        UTILS_LOG(L"partPath::%ls\r\n", Platform::FromNativeText(parts[i].path).c_str());
        // A short part would make a short target that only the MD5, if the URL has one, could catch.
        if (!part || writeFailed || ferror(part.get()) || copied != parts[i].size)
            return kMergePartNotCopied;
    }
    if (fclose(first.release()) != 0)
        return kMergePartNotCopied;
    if (std::rename(parts.front().path.c_str(), targetPath.c_str()) != 0)
        return kMergeRenameFailed;
    return 0;
}

int CMTCurlDownloader::progressHook(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* downloader = static_cast<CMTCurlDownloader*>(self);
    if (downloader->m_Stop.Stopped())
        return 1;
    std::lock_guard lock(downloader->m_ProgressLock);
    const int64_t now = std::time(nullptr);
    if (now - downloader->m_LastProgressTime < 1)
        return 0;
    downloader->m_LastProgressTime = now;
    double percent = 0.0;
    if (downloader->m_Length >= kMinimumLength) {
        for (const auto& part : downloader->m_Parts) {
            const int64_t received = part->m_Received;
            if (received > 0)
                percent += static_cast<double>(received) * 100.0 / static_cast<double>(downloader->m_Length);
        }
        if (percent > 100.0)
            return 0;
    }
    if (percent - downloader->m_LastPercent >= 1.0) {
        downloader->m_LastPercent = percent;
        downloader->report(DL_CODE_PROGRESS, percent / 100.0, L"");
    }
    return 0;
}

bool CMTCurlDownloader::startThread(std::function<void()> body, bool partWorker) {
    {
        std::lock_guard lock(m_ThreadLock);
        ++m_LiveThreads;
        m_RunningParts += partWorker;
    }
    try {
        std::thread(std::move(body)).detach();
        return true;
    } catch (const std::system_error&) {
        threadEnded(partWorker);
        return false;
    }
}

void CMTCurlDownloader::threadEnded(bool partWorker) {
    // The last touch of this object by a detached thread: once the lock is released the destructor
    // may run.
    std::lock_guard lock(m_ThreadLock);
    m_RunningParts -= partWorker;
    --m_LiveThreads;
    m_ThreadEnded.notify_all();
}

void CMTCurlDownloader::freeParts() {
    m_Parts.clear();
}

void CMTCurlDownloader::removePartFiles() const {
    for (int i = 0; i < kMaxParts; ++i)
        std::remove(partPath(i).c_str());
}

std::string CMTCurlDownloader::partPath(int index) const {
    return Platform::NativeText(m_TargetPath) + "_" + std::to_string(index);
}

void CMTCurlDownloader::report(int32_t code, double value, const wchar_t* text) {
    std::lock_guard lock(m_ReportLock);
    if (!m_Stop.Stopped())
        m_Callback(code, value, text);
}
