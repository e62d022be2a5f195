#pragma once

#include <map>
#include <string>

namespace qx_analytics {

struct HttpResponse {
    int status{-1};   // -1: the transfer itself failed
    std::string body; // the server's reply, or the HTTP library's error text when status is -1
    std::map<std::string, std::string> headers;
};

using HttpHeaders = std::map<std::string, std::string>;

// What the record queue posts its batches through.
class RecordSender {
public:
    virtual ~RecordSender() = default;
    // Posts `body`; an empty content type leaves the HTTP library's default for form posts. Throws
    // only when no request could be made at all.
    virtual HttpResponse post(const std::string& body, const std::string& contentType,
                              const HttpHeaders& headers) = 0;
    virtual const HttpHeaders& headers() const = 0;
};

// Posts to the collector over libcurl: a fresh transfer per post, 3 seconds in all, no redirects.
class HttpSender : public RecordSender {
public:
    static constexpr const char* kUserAgent = "QX Analytics CPP SDK 0.9";
    static constexpr long kTimeoutSeconds = 3;

    explicit HttpSender(std::string serverUrl);
    ~HttpSender() override;
    HttpSender(const HttpSender&) = delete;
    HttpSender& operator=(const HttpSender&) = delete;

    HttpResponse post(const std::string& body, const std::string& contentType,
                      const HttpHeaders& headers) override;
    const HttpHeaders& headers() const override { return m_Headers; }
    const std::string& serverUrl() const { return m_ServerUrl; }

private:
    std::string m_ServerUrl;
    HttpHeaders m_Headers; // none are added on this system
};

} // namespace qx_analytics
