#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace quxin::tracking {

// Decides when queued records are posted. Every tracking operation asks for a delivery after queuing
// its record: an immediate one posts everything while there is pending work, a deferred one only
// counts. A delivery runs on the caller's thread while the last post succeeded, otherwise on a
// detached thread so that an unreachable collector never blocks the caller.
//
// The detached threads share the delivery state with this object; shutdown() stops them from
// starting new posts and waits for those in flight, so none of them outlives the SDK it uses.
class Delivery {
public:
    static constexpr int kAttempts = 3;

    Delivery();
    ~Delivery();
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;

    void addPending(int count);
    int pending() const;
    void request(bool immediate);

    // Waits for the detached deliveries, then posts what is pending: up to three attempts without
    // pauses. Requests made afterwards do nothing.
    void shutdown();

private:
    struct Shared {
        std::mutex deliveryMutex; // one delivery at a time
        std::atomic<int> pending{0};
        std::atomic<bool> stopping{false};
        std::mutex threadsMutex;
        std::condition_variable threadsDone;
        int runningThreads{0};
    };

    static void run(Shared& shared, bool immediate);

    std::shared_ptr<Shared> m_Shared;
};

} // namespace quxin::tracking
