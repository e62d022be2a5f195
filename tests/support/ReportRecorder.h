#pragma once

#include "download/Downloader.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// One event as the pipeline's owner receives it.
struct Event {
    int32_t code;
    double value;
    std::wstring text;

    bool operator==(const Event&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Event& event) {
    std::string text = Platform::ToUtf8(event.text.substr(0, 80)) + (event.text.size() > 80 ? "..." : "");
    return out << "{" << event.code << ", " << event.value << ", L\"" << text << "\"}";
}

// Collects a pipeline worker's reports as the pipeline's owner would receive them, and restarts the
// downloader from inside DL_CODE_RETRY as the owner does.
class ReportRecorder {
public:
    ReportCallback Callback() {
        return [this](int32_t code, double value, const wchar_t* text) {
            {
                std::lock_guard lock(m_Lock);
                m_Events.push_back({code, value, text});
                if (code == DL_CODE_SUCCESS || code == DL_CODE_FAIL)
                    ++m_Finals;
            }
            m_Changed.notify_all();
            if (code == DL_CODE_RETRY && m_Restart)
                m_Restart->Start();
        };
    }

    // The downloader to start again on DL_CODE_RETRY.
    void RestartOnRetry(CDownloader* downloader) { m_Restart = downloader; }

    // Waits until `count` final reports (success or failure) arrived; false at the deadline.
    bool WaitForFinal(int count = 1, std::chrono::seconds deadline = std::chrono::seconds(60)) {
        std::unique_lock lock(m_Lock);
        return m_Changed.wait_for(lock, deadline, [&] { return m_Finals >= count; });
    }

    // Waits until `count` reports with `code` arrived; false at the deadline.
    bool WaitForCode(int32_t code, int count = 1, std::chrono::seconds deadline = std::chrono::seconds(60)) {
        std::unique_lock lock(m_Lock);
        return m_Changed.wait_for(lock, deadline, [&] {
            return std::count_if(m_Events.begin(), m_Events.end(),
                                 [&](const Event& r) { return r.code == code; }) >= count;
        });
    }

    std::vector<Event> Events() const {
        std::lock_guard lock(m_Lock);
        return m_Events;
    }

    // Codes in order, progress reports left out.
    std::vector<int32_t> Codes() const {
        std::vector<int32_t> codes;
        for (const Event& report : Events())
            if (report.code != DL_CODE_PROGRESS)
                codes.push_back(report.code);
        return codes;
    }

    int Count(int32_t code) const {
        int count = 0;
        for (const Event& report : Events())
            count += report.code == code;
        return count;
    }

    Event Last() const { return Events().back(); }

    // The events without those of `progressCode`.
    std::vector<Event> Without(int32_t progressCode) const {
        std::vector<Event> kept;
        for (const Event& event : Events())
            if (event.code != progressCode)
                kept.push_back(event);
        return kept;
    }

    void Clear() {
        std::lock_guard lock(m_Lock);
        m_Events.clear();
        m_Finals = 0;
    }

private:
    mutable std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::vector<Event> m_Events;
    int m_Finals{0};
    CDownloader* m_Restart{nullptr};
};
