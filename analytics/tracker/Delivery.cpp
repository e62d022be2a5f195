#include "analytics/tracker/Delivery.h"

#include "analytics/sdk/Diagnostics.h"
#include "analytics/sdk/Sdk.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace quxin::tracking {
namespace {

constexpr auto kPause = std::chrono::milliseconds(1);

} // namespace

Delivery::Delivery() : m_Shared(std::make_shared<Shared>()) {}

Delivery::~Delivery() {
    shutdown();
}

void Delivery::addPending(int count) {
    m_Shared->pending.fetch_add(count);
}

int Delivery::pending() const {
    return m_Shared->pending.load();
}

void Delivery::request(bool immediate) {
    if (m_Shared->stopping)
        return;
    if (qx_analytics::Sdk::LastSendSucceeded()) {
        run(*m_Shared, immediate);
        return;
    }
    qx_analytics::DebugLine("[Analytics] Sending messages asynchronously");
    {
        std::lock_guard lock(m_Shared->threadsMutex);
        ++m_Shared->runningThreads;
    }
    try {
        std::thread([shared = m_Shared, immediate] {
            run(*shared, immediate);
            std::lock_guard lock(shared->threadsMutex);
            --shared->runningThreads;
            shared->threadsDone.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        {
            std::lock_guard lock(m_Shared->threadsMutex);
            --m_Shared->runningThreads;
        }
        run(*m_Shared, immediate); // no thread to be had: deliver here rather than not at all
    }
}

void Delivery::run(Shared& shared, bool immediate) {
    std::lock_guard delivery(shared.deliveryMutex);
    if (!immediate) {
        std::this_thread::sleep_for(kPause);
        shared.pending.fetch_add(1); // counted even while stopping: the last delivery looks at it
        return;
    }
    // Once shutdown began, the last delivery posts what is pending itself.
    for (int attempt = 0; attempt < kAttempts && shared.pending.load() > 0 && !shared.stopping; ++attempt) {
        if (qx_analytics::Sdk::FlushAll()) {
            shared.pending.exchange(0);
            return;
        }
        std::this_thread::sleep_for(kPause);
    }
}

void Delivery::shutdown() {
    if (m_Shared->stopping.exchange(true))
        return;
    {
        std::unique_lock lock(m_Shared->threadsMutex);
        m_Shared->threadsDone.wait(lock, [&] { return m_Shared->runningThreads == 0; });
    }
    std::lock_guard delivery(m_Shared->deliveryMutex);
    if (m_Shared->pending.load() <= 0)
        return;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (qx_analytics::Sdk::FlushAll()) {
            m_Shared->pending.exchange(0);
            return;
        }
    }
}

} // namespace quxin::tracking
