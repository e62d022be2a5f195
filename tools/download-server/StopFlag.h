#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace DownloadServer {

// Raised once when the server is asked to stop. Answers that wait on purpose (delay, stall) and long
// transfers watch it, so that stopping never waits for a client.
class StopFlag {
public:
    void raise() {
        {
            std::lock_guard lock(m_Mutex);
            m_Raised = true;
        }
        m_Changed.notify_all();
    }

    bool raised() const {
        std::lock_guard lock(m_Mutex);
        return m_Raised;
    }

    // Waits `duration`; false when the flag was raised before it passed.
    bool sleepFor(std::chrono::milliseconds duration) {
        std::unique_lock lock(m_Mutex);
        return !m_Changed.wait_for(lock, duration, [this] { return m_Raised; });
    }

private:
    mutable std::mutex m_Mutex;
    std::condition_variable m_Changed;
    bool m_Raised{false};
};

} // namespace DownloadServer
