#include "analytics/sdk/RecordQueue.h"

#include "analytics/sdk/BodyEncoding.h"
#include "analytics/sdk/Diagnostics.h"
#include "platform/AppendOnlyFile.h"

#include <algorithm>
#include <fstream>

namespace qx_analytics {
namespace {

constexpr char kLineEnd[] = "\r\n";

bool looksLikeRecord(const std::string& line) {
    return !line.empty() && line.front() == '{' && line.back() == '}';
}

} // namespace

RecordQueue::RecordQueue(std::string stagingPath, std::unique_ptr<RecordSender> sender)
    : m_StagingPath(std::move(stagingPath)), m_Sender(std::move(sender)) {}

void RecordQueue::add(std::string record) {
    std::lock_guard lock(m_QueueLock);
    m_Records.push_back(std::move(record));
    if (m_Records.size() > kCapacity)
        m_Records.pop_front();
}

bool RecordQueue::flush() {
    {
        std::lock_guard lock(m_QueueLock);
        readStagingLocked();
    }
    std::lock_guard flushLock(m_FlushLock);
    std::vector<std::string> batch;
    {
        std::lock_guard lock(m_QueueLock);
        size_t count = std::min(kBatchSize, m_Records.size());
        if (count == 0)
            return true;
        if (!m_Sender)
            return false; // closed
        batch.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            batch.push_back(std::move(m_Records.front()));
            m_Records.pop_front();
        }
    }
    bool sent = false;
    try {
        std::string text = "[";
        for (size_t i = 0; i < batch.size(); ++i) {
            if (i > 0)
                text += ',';
            text += batch[i];
        }
        text += ']';
        if (auto body = EncodeBody(text)) {
            HttpResponse response = m_Sender->post(*body, "", m_Sender->headers());
            sent = response.status == 200;
            m_LastSendSucceeded = sent;
        }
    } catch (const std::exception& error) {
        ErrorLine(std::string("Exception when flush failed: (") + error.what() + ") ");
    } catch (...) {
        ErrorLine("Exception when flush failed: (unknown) ");
    }
    // A batch that did not arrive is not lost, whatever stopped it.
    if (!sent) {
        std::lock_guard lock(m_QueueLock);
        putBackLocked(batch);
    }
    return sent;
}

bool RecordQueue::flushAll() {
    {
        std::lock_guard lock(m_QueueLock);
        readStagingLocked();
    }
    while (size() > 0)
        if (!flush())
            return false;
    return true;
}

void RecordQueue::close() {
    std::lock_guard lock(m_QueueLock);
    readStagingLocked();
    m_Sender.reset();
    if (m_StagingPath.empty())
        return;
    std::ofstream file(m_StagingPath, std::ios::binary | std::ios::trunc);
    for (const std::string& record : m_Records)
        file << record << kLineEnd;
}

size_t RecordQueue::size() const {
    std::lock_guard lock(m_QueueLock);
    return m_Records.size();
}

std::vector<std::string> RecordQueue::records() const {
    std::lock_guard lock(m_QueueLock);
    return {m_Records.begin(), m_Records.end()};
}

bool RecordQueue::appendForCrash(Platform::AppendOnlyFile& file) noexcept {
    // The crashed thread may hold the lock, or another thread may: give up rather than wait.
    std::unique_lock lock(m_QueueLock, std::try_to_lock);
    if (!lock.owns_lock())
        return false;
    bool complete = true;
    for (const std::string& record : m_Records)
        complete = file.Append(record.data(), record.size()) && file.Append(kLineEnd, 2) && complete;
    return complete;
}

void RecordQueue::readStagingLocked() {
    if (!m_StagingPending)
        return;
    m_StagingPending = false;
    if (m_StagingPath.empty())
        return;
    const size_t room = kCapacity - std::min(kCapacity, m_Records.size());
    if (room > 0) {
        std::ifstream file(m_StagingPath, std::ios::binary);
        std::deque<std::string> staged;
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!looksLikeRecord(line))
                continue;
            staged.push_back(std::move(line));
            if (staged.size() > room)
                staged.pop_front(); // the newest ones are kept
        }
        m_Records.insert(m_Records.begin(), std::make_move_iterator(staged.begin()),
                         std::make_move_iterator(staged.end()));
    }
    // What was read is in memory now; close() writes back whatever is left at the end of the run.
    std::ofstream truncate(m_StagingPath, std::ios::binary | std::ios::trunc);
}

void RecordQueue::putBackLocked(std::vector<std::string>& batch) {
    const size_t room = kCapacity - std::min(kCapacity, m_Records.size());
    const size_t count = std::min(batch.size(), room);
    // The newest records of the batch are the ones kept when there is not room for all.
    m_Records.insert(m_Records.begin(), std::make_move_iterator(batch.end() - static_cast<ptrdiff_t>(count)),
                     std::make_move_iterator(batch.end()));
}

} // namespace qx_analytics
