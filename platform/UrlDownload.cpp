#include "platform/UrlDownload.h"

#include "platform/TextCodec.h"

#include <chrono>
#include <cstdio>
#include <curl/curl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {

constexpr long kConnectTimeoutSeconds = 60;
constexpr long kStallSeconds = 60; // below 1 byte per second for this long ends the download

struct Transfer {
    const UrlDownloadProgress& progress;
    FILE* file;
    bool aborted{false};
    curl_off_t lastNow{-1};
    curl_off_t lastTotal{-1};
    std::chrono::steady_clock::time_point lastCall{};
};

size_t writeBlock(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    return fwrite(data, size, count, transfer->file) * size;
}

int onProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(user);
    // libcurl calls this many times per block; pass on news, and at least once a second so that
    // the caller can abort a stalled download.
    auto clock = std::chrono::steady_clock::now();
    bool news = now != transfer->lastNow || total != transfer->lastTotal;
    if (!transfer->progress || (!news && clock - transfer->lastCall < std::chrono::seconds(1)))
        return 0;
    transfer->lastNow = now;
    transfer->lastTotal = total;
    transfer->lastCall = clock;
    if (!transfer->progress(static_cast<uint64_t>(now), static_cast<uint64_t>(total))) {
        transfer->aborted = true;
        return 1;
    }
    return 0;
}

uint32_t resultOf(CURLcode code, long status, bool aborted) {
    if (aborted)
        return kDownloadAborted;
    if (code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_HOST ||
        code == CURLE_COULDNT_RESOLVE_PROXY)
        return kDownloadCannotConnect;
    if (status == 404 || status == 410)
        return kDownloadNotFound;
    return code == CURLE_OK && status < 400 ? kDownloadOk : kDownloadFailure;
}

} // namespace

uint32_t DownloadUrlToFile(const std::wstring& url, const std::wstring& path,
                           const UrlDownloadProgress& progress) {
    std::string target = NativeText(path);
    std::string temporary = target + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0)
        return kDownloadFailure;
    fchmod(fd, 0644);
    std::unique_ptr<FILE, decltype(&fclose)> file(fdopen(fd, "wb"), &fclose);
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> handle(curl_easy_init(), &curl_easy_cleanup);
    if (!file || !handle) {
        if (!file)
            close(fd);
        std::remove(temporary.c_str());
        return kDownloadFailure;
    }
    std::string urlText = ToUtf8(url);
    Transfer transfer{progress, file.get()};
    CURL* h = handle.get();
    curl_easy_setopt(h, CURLOPT_URL, urlText.c_str());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, writeBlock);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
    CURLcode code = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    bool written = fflush(file.get()) == 0 && fsync(fileno(file.get())) == 0;
    bool closed = fclose(file.release()) == 0;
    uint32_t result = resultOf(code, status, transfer.aborted);
    if (result == kDownloadOk && !(written && closed && std::rename(temporary.c_str(), target.c_str()) == 0))
        result = kDownloadFailure;
    if (result != kDownloadOk)
        std::remove(temporary.c_str());
    return result;
}

} // namespace Platform
