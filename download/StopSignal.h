#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

// Tells a downloader's threads that the downloader is going away: pauses between attempts end at
// once, and nothing more is started or reported.
class StopSignal {
public:
    void Stop() {
        {
            std::lock_guard lock(m_Lock);
            m_Stopped = true;
        }
        m_Woken.notify_all();
    }
    bool Stopped() const { return m_Stopped; }

    // Waits for `pause` unless stopped first; false when stopped.
    bool Pause(std::chrono::milliseconds pause) {
        std::unique_lock lock(m_Lock);
        return !m_Woken.wait_for(lock, pause, [this] { return m_Stopped.load(); });
    }

private:
    std::mutex m_Lock;
    std::condition_variable m_Woken;
    std::atomic<bool> m_Stopped{false};
};
