#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

// The silent mode's message loop: work posted from any thread runs on the loop's thread, in posting
// order, until the loop is told to quit.
class EventLoop {
public:
    void Post(std::function<void()> work) {
        {
            std::lock_guard lock(m_Lock);
            m_Queue.push_back(std::move(work));
        }
        m_Changed.notify_one();
    }

    // Ends Run after the work that is running now; what is still queued is dropped.
    void Quit(int exitCode) {
        {
            std::lock_guard lock(m_Lock);
            if (!m_ExitCode)
                m_ExitCode = exitCode;
        }
        m_Changed.notify_one();
    }

    int Run() {
        std::unique_lock lock(m_Lock);
        while (true) {
            m_Changed.wait(lock, [this] { return m_ExitCode || !m_Queue.empty(); });
            if (m_ExitCode)
                return *m_ExitCode;
            auto work = std::move(m_Queue.front());
            m_Queue.pop_front();
            lock.unlock();
            work();
            lock.lock();
        }
    }

private:
    std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::deque<std::function<void()>> m_Queue;
    std::optional<int> m_ExitCode;
};
