#pragma once

#include "download/Downloader.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

// Collects a downloader's reports as the pipeline's owner would receive them, and restarts the
// downloader from inside DL_CODE_RETRY as the owner does.
class ReportRecorder {
public:
    struct Report {
        int32_t code;
        double value;
        std::wstring text;
    };

    ReportCallback Callback() {
        return [this](int32_t code, double value, const wchar_t* text) {
            {
                std::lock_guard lock(m_Lock);
                m_Reports.push_back({code, value, text});
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
            return std::count_if(m_Reports.begin(), m_Reports.end(), [&](const Report& r) { return r.code == code; }) >=
                   count;
        });
    }

    std::vector<Report> Reports() const {
        std::lock_guard lock(m_Lock);
        return m_Reports;
    }

    // Codes in order, progress reports left out.
    std::vector<int32_t> Codes() const {
        std::vector<int32_t> codes;
        for (const Report& report : Reports())
            if (report.code != DL_CODE_PROGRESS)
                codes.push_back(report.code);
        return codes;
    }

    int Count(int32_t code) const {
        int count = 0;
        for (const Report& report : Reports())
            count += report.code == code;
        return count;
    }

    Report Last() const { return Reports().back(); }

private:
    mutable std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::vector<Report> m_Reports;
    int m_Finals{0};
    CDownloader* m_Restart{nullptr};
};
