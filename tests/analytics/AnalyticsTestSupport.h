#pragma once

#include "analytics/sdk/HttpSender.h"
#include "analytics/sdk/Sdk.h"

#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <string>

// Sets an environment variable (or removes it, with nullopt) for the life of this object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, std::optional<std::string> value) : m_Name(name) {
        if (const char* old = std::getenv(name))
            m_Old = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (m_Old)
            setenv(m_Name.c_str(), m_Old->c_str(), 1);
        else
            unsetenv(m_Name.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_Name;
    std::optional<std::string> m_Old;
};

// The local time zone for the life of this object.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& zone) {
        m_Zone.emplace("TZ", zone);
        tzset();
    }
    ~ScopedTimeZone() {
        m_Zone.reset();
        tzset();
    }

private:
    std::optional<ScopedEnvironment> m_Zone;
};

// A sender that answers every post with what `answer` returns, for the queue's own rules.
class ScriptedSender : public qx_analytics::RecordSender {
public:
    using Answer = std::function<qx_analytics::HttpResponse(const std::string& body)>;
    explicit ScriptedSender(Answer answer) : m_Answer(std::move(answer)) {}
    qx_analytics::HttpResponse post(const std::string& body, const std::string&,
                                    const qx_analytics::HttpHeaders&) override {
        return m_Answer(body);
    }
    const qx_analytics::HttpHeaders& headers() const override { return m_Headers; }

private:
    Answer m_Answer;
    qx_analytics::HttpHeaders m_Headers;
};

inline std::unique_ptr<ScriptedSender> AnswerWith(int status) {
    return std::make_unique<ScriptedSender>([status](const std::string&) {
        qx_analytics::HttpResponse response;
        response.status = status;
        return response;
    });
}

// The SDK for one test, started with a sender that is never reached unless the test flushes.
class SdkSession {
public:
    explicit SdkSession(const std::string& distinctId = "device-1", bool isLoginId = false,
                        std::unique_ptr<qx_analytics::RecordSender> sender = AnswerWith(500)) {
        m_Started = qx_analytics::Sdk::Init("", std::move(sender), distinctId, isLoginId);
    }
    ~SdkSession() { qx_analytics::Sdk::Shutdown(); }
    SdkSession(const SdkSession&) = delete;
    SdkSession& operator=(const SdkSession&) = delete;
    bool started() const { return m_Started; }

private:
    bool m_Started{false};
};

// A record with its random track id replaced by N, so that it can be compared as a whole.
inline std::string WithoutTrackId(const std::string& record) {
    return std::regex_replace(record, std::regex(R"(^\{"_track_id":[0-9]+,)"), R"({"_track_id":N,)");
}
