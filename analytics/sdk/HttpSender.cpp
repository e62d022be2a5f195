#include "analytics/sdk/HttpSender.h"

#include "analytics/sdk/Diagnostics.h"

#include <curl/curl.h>

#include <memory>
#include <stdexcept>

namespace qx_analytics {
namespace {

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

size_t collectBody(char* data, size_t size, size_t count, void* response) {
    static_cast<HttpResponse*>(response)->body.append(data, size * count);
    return size * count;
}

std::string trimmed(std::string text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

size_t collectHeader(char* data, size_t size, size_t count, void* response) {
    std::string line(data, size * count);
    auto& headers = static_cast<HttpResponse*>(response)->headers;
    size_t colon = line.find(':');
    if (colon == std::string::npos) {
        if (std::string text = trimmed(line); !text.empty())
            headers[text] = "present"; // the status line
    } else {
        headers[trimmed(line.substr(0, colon))] = trimmed(line.substr(colon + 1));
    }
    return size * count;
}

} // namespace

HttpSender::HttpSender(std::string serverUrl) : m_ServerUrl(std::move(serverUrl)) {
    // Counted by libcurl: the library stays ready for posts from any thread while a sender exists,
    // whatever the program did or will do with its own initialisation.
    curl_global_init(CURL_GLOBAL_ALL);
}

HttpSender::~HttpSender() {
    curl_global_cleanup();
}

HttpResponse HttpSender::post(const std::string& body, const std::string& contentType,
                              const HttpHeaders& headers) {
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl)
        throw std::runtime_error("cannot create an HTTP transfer");
    std::unique_ptr<curl_slist, ListDeleter> headerList;
    auto addHeader = [&](const std::string& line) {
        curl_slist* list = curl_slist_append(headerList.get(), line.c_str());
        if (!list)
            throw std::runtime_error("cannot add a request header");
        (void)headerList.release();
        headerList.reset(list);
    };
    if (!contentType.empty())
        addHeader("Content-Type: " + contentType);
    for (const auto& [name, value] : headers)
        addHeader(name + ": " + value);

    HttpResponse response;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, m_ServerUrl.c_str());
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(c, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, kTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L); // the post may run on any thread
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    if (headerList)
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headerList.get());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &response);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, collectHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &response);

    CURLcode code = curl_easy_perform(c);
    if (code != CURLE_OK) {
        response.status = -1;
        response.body = curl_easy_strerror(code);
    } else {
        long status = 0;
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
        response.status = static_cast<int>(status);
    }
    if (response.status != 200) {
        DebugLine("[analytics] Analytics SDK send failed");
        ErrorLine("Analytics SDK send failed: " + response.body);
    }
    return response;
}

} // namespace qx_analytics
