#pragma once

#include "analytics/sdk/HttpSender.h"

#include <atomic>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {
class AppendOnlyFile;
}

namespace qx_analytics {

// Serialised records waiting to be posted, oldest first, bounded so that an unreachable collector
// costs a fixed amount of memory. Batches of up to 30 are posted one at a time; a batch that does not
// arrive goes back to the head as far as there is room. The staging file carries what is left over
// from one run to the next.
class RecordQueue {
public:
    static constexpr size_t kCapacity = 1024;
    static constexpr size_t kBatchSize = 30;

    // An empty staging path keeps records in memory only.
    RecordQueue(std::string stagingPath, std::unique_ptr<RecordSender> sender);

    // Appends a record; beyond the capacity the oldest one is dropped.
    void add(std::string record);
    // Posts one batch; true when the queue was empty or the collector accepted the batch.
    bool flush();
    // Posts batches until the queue is empty (true) or one fails (false).
    bool flushAll();
    // Writes every queued record to the staging file and releases the sender. Nothing is posted
    // afterwards.
    void close();

    size_t size() const;
    std::vector<std::string> records() const;
    // The outcome of the most recent request; false before the first.
    bool lastSendSucceeded() const { return m_LastSendSucceeded.load(); }

    // For a crash handler: appends the queued records to `file`, one per line, if the queue can be had
    // at once. Allocates nothing and never waits.
    bool appendForCrash(Platform::AppendOnlyFile& file) noexcept;

private:
    void readStagingLocked();
    void putBackLocked(std::vector<std::string>& batch);

    const std::string m_StagingPath;
    std::unique_ptr<RecordSender> m_Sender;
    // Lock order: flush lock before queue lock. Adding takes only the queue lock, so records can be
    // added while a batch is on its way.
    std::mutex m_FlushLock;
    mutable std::mutex m_QueueLock;
    std::deque<std::string> m_Records;
    bool m_StagingPending{true};
    std::atomic<bool> m_LastSendSucceeded{false};
};

} // namespace qx_analytics
