#include "download/CurlClient.h"

#include "download/StatusReport.h"
#include "platform/TextCodec.h"
#include "utils/DebugLog.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace {

constexpr long kConnectTimeoutSeconds = 60;
constexpr long kKeepAliveSeconds = 10;

void logResult(int code) {
    UTILS_LOG(L"error:%d:%ls\r\n", code, CurlErrorText(code).c_str());
}

// Status of the last answer on `handle` (0 when there was none); false when it cannot be read.
bool readStatus(CURL* handle, long& status) {
    status = 0;
    return curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK;
}

double readLength(CURL* handle, CURLcode& query) {
    curl_off_t length = -1;
    query = curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    return query == CURLE_OK ? static_cast<double>(length) : -1.0;
}

enum class HeadKind { FollowRedirects, HeadersAsBody };

CURLcode headOptions(CURL* h, const std::string& url, HeadKind kind) {
    CurlOptions options(h);
    options.Set(CURLOPT_URL, url.c_str());
    if (kind == HeadKind::HeadersAsBody)
        options.Set(CURLOPT_HEADER, 1L);
    else
        options.Set(CURLOPT_FOLLOWLOCATION, 1L);
    return options.Set(CURLOPT_NOBODY, 1L)
        .Set(CURLOPT_WRITEFUNCTION, DiscardBody)
        .Set(CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds)
        .Result();
}

size_t writeToFile(char* data, size_t size, size_t count, void* file) {
    return fwrite(data, size, count, static_cast<FILE*>(file)) * size;
}

} // namespace

CurlClient::CurlClient(std::wstring url, std::wstring targetPath)
    : m_Url(std::move(url)), m_TargetPath(std::move(targetPath)) {}

CurlClient::~CurlClient() {
    m_Abort = true;
    std::remove(Platform::NativeText(PartPath()).c_str());
}

int CurlClient::Start() {
    UTILS_LOG(L"start download\r\n");
    const std::string partPath = Platform::NativeText(PartPath());
    const std::string targetPath = Platform::NativeText(m_TargetPath);
    discover(CurlUrlText(m_Url));

    int result = kResultLengthUnknown;
    if (m_Length >= kMinimumLength) {
        CurlEasy handle(curl_easy_init());
        if (!handle) {
            result = kResultNoHandle;
        } else {
            m_Transfer = handle.get();
            std::unique_ptr<FILE, decltype(&fclose)> file(fopen(partPath.c_str(), "ab+"), &fclose);
            result = file ? transfer(file.get(), partPath) : kResultPartFileFailed;
            m_Transfer = nullptr;
        }
    }
    logResult(result);
    // rename replaces the target in one step, so there is never a moment without either file.
    if (result == 0 && std::rename(partPath.c_str(), targetPath.c_str()) != 0) {
        result = kResultMoveFailed;
        logResult(result);
    }
    UTILS_LOG(L"end download\r\n");
    return result;
}

void CurlClient::discover(const std::string& url) {
    if (m_RealUrl.empty() || m_Length < kMinimumLength) {
        CurlEasy handle = Head(url);
        m_RealUrl = GetRealUrl(handle.get());
        m_Length = GetDownloadFileLength(handle.get());
    }
    if (m_RealUrl.empty() || m_Length < kMinimumLength) {
        m_RealUrl = GetRealUrl_Str(url);
        if (!m_RealUrl.empty())
            m_Length = GetDownloadFileLength_Str(m_RealUrl);
    }
}

int CurlClient::transfer(FILE* partFile, const std::string& partPath) {
    CURL* h = m_Transfer;
    CurlList headers(curl_slist_append(nullptr, "Connection: keep-alive"));
    curl_slist* last = headers ? curl_slist_append(headers.get(), "Accept-Encoding: gzip, deflate") : nullptr;
    if (!last)
        return CURLE_OUT_OF_MEMORY;
    CurlOptions options(h);
    options.Set(CURLOPT_HTTPHEADER, headers.get())
        .Set(CURLOPT_TCP_KEEPALIVE, 1L)
        .Set(CURLOPT_TCP_KEEPIDLE, kKeepAliveSeconds)
        .Set(CURLOPT_TCP_KEEPINTVL, kKeepAliveSeconds)
        .Set(CURLOPT_TIMEOUT, 0L)
        .Set(CURLOPT_URL, m_RealUrl.c_str())
        .Set(CURLOPT_FOLLOWLOCATION, 1L)
        .Set(CURLOPT_WRITEFUNCTION, writeToFile)
        .Set(CURLOPT_WRITEDATA, partFile)
        .Set(CURLOPT_NOPROGRESS, 0L)
        .Set(CURLOPT_XFERINFOFUNCTION, ProgressCallback)
        .Set(CURLOPT_XFERINFODATA, this)
        .Set(CURLOPT_FAILONERROR, 1L)
        .Set(CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    std::error_code error;
    auto size = std::filesystem::file_size(partPath, error);
    m_ResumeOffset = error ? -1 : static_cast<int64_t>(size);
    if (m_ResumeOffset > 0)
        options.Set(CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(m_ResumeOffset));
    if (options.Result() != CURLE_OK)
        return options.Result();
    return curl_easy_perform(h);
}

int CurlClient::ProgressCallback(void* self, curl_off_t totalToDownload, curl_off_t downloaded, curl_off_t,
                                 curl_off_t) {
    auto* client = static_cast<CurlClient*>(self);
    if (client->m_Abort)
        return 1;
    int64_t now = std::time(nullptr);
    if (now - client->m_LastProgressTime < 1)
        return 0;
    client->m_LastProgressTime = now;
    curl_off_t speedValue = 0;
    double speed = curl_easy_getinfo(client->m_Transfer, CURLINFO_SPEED_DOWNLOAD_T, &speedValue) == CURLE_OK
                       ? static_cast<double>(speedValue)
                       : 0.0;
    double percent;
    if (client->m_Length > kMinimumLength) {
        percent = static_cast<double>(client->m_ResumeOffset + downloaded) / client->m_Length * 100.0;
    } else {
        if (downloaded <= 0 || totalToDownload <= 0)
            return 0;
        percent = static_cast<double>(downloaded) * 100.0 / static_cast<double>(totalToDownload);
    }
    if (percent == 0.0)
        return 0;
    if (client->m_ProgressHook)
        client->m_ProgressHook(speed, 0.0, percent);
    if (totalToDownload != 0)
        UTILS_LOG(L" %dM %dM   progress:%f%%  speed:%f \n", static_cast<int>(downloaded / 1048576),
                  static_cast<int>(totalToDownload / 1048576),
                  static_cast<double>(static_cast<float>(percent)),
                  static_cast<double>(static_cast<float>(speed / 1024)));
    return 0;
}

CurlEasy CurlClient::Head(const std::string& url) {
    CurlEasy handle(curl_easy_init());
    if (!handle) {
        logResult(0);
        return handle;
    }
    CURL* h = handle.get();
    CURLcode rc = headOptions(h, url, HeadKind::FollowRedirects);
    if (rc == CURLE_OK) {
        rc = curl_easy_perform(h);
        if (rc != CURLE_OK)
            logResult(rc);
    }
    logResult(rc);
    return handle;
}

std::string CurlClient::GetRealUrl(CURL* handle) {
    char* url = nullptr;
    if (!handle || curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &url) != CURLE_OK || !url)
        return {};
    return url;
}

double CurlClient::GetDownloadFileLength(CURL* handle) {
    if (!handle)
        return -1.0;
    CURLcode query;
    double length = readLength(handle, query);
    logResult(query);
    long status;
    if (!readStatus(handle, status) || status < 200 || status > 399) {
        ReportLengthStatus(status);
        return -1.0;
    }
    return length;
}

std::string CurlClient::GetRealUrl_Str(const std::string& url) {
    std::string realUrl;
    if (CurlEasy handle{curl_easy_init()}) {
        CURL* h = handle.get();
        CURLcode rc = headOptions(h, url, HeadKind::FollowRedirects);
        if (rc == CURLE_OK)
            rc = curl_easy_perform(h);
        if (rc != CURLE_OK)
            logResult(rc);
        else
            realUrl = GetRealUrl(h);
    }
    return realUrl.empty() ? url : realUrl;
}

double CurlClient::GetDownloadFileLength_Str(const std::string& url) {
    CurlEasy handle(curl_easy_init());
    if (!handle)
        return -1.0;
    CURL* h = handle.get();
    CURLcode rc = headOptions(h, url, HeadKind::HeadersAsBody);
    double length = -1.0;
    if (rc == CURLE_OK) {
        curl_easy_perform(h);
        CURLcode query;
        length = readLength(h, query);
        long status;
        rc = readStatus(h, status) ? CURLE_OK : CURLE_BAD_FUNCTION_ARGUMENT;
        // 400 itself passes here, unlike the first way.
        if (rc != CURLE_OK || status < 200 || status > 400)
            ReportLengthStatus(status);
    }
    logResult(rc);
    return length;
}
