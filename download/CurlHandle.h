#pragma once

#include <curl/curl.h>
#include <memory>
#include <string>

// Owning wrappers for libcurl's easy handles and header lists.
struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

// Sets options on a handle until one fails; the first failure is the result.
class CurlOptions {
public:
    explicit CurlOptions(CURL* handle) : m_Handle(handle) {}

    template <typename T> CurlOptions& Set(CURLoption option, T value) {
        if (m_Result == CURLE_OK)
            m_Result = curl_easy_setopt(m_Handle, option, value);
        return *this;
    }
    CURLcode Result() const { return m_Result; }

private:
    CURL* m_Handle;
    CURLcode m_Result{CURLE_OK};
};

// libcurl's text for a result code, as wide text for the diagnostic log.
std::wstring CurlErrorText(int code);

// A write hook that takes every block and keeps nothing.
size_t DiscardBody(char* data, size_t size, size_t count, void* user);

// The 8-bit form of a URL for libcurl: UTF-8, or the system code page for a "file:///" URL.
std::string CurlUrlText(const std::wstring& url);
