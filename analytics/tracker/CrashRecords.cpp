#include "analytics/tracker/CrashRecords.h"

#include "analytics/sdk/RecordQueue.h"
#include "analytics/sdk/TrackId.h"
#include "platform/TextCodec.h"

#include <cstdlib>
#include <ctime>

namespace quxin::tracking {
namespace {

// Decimal digits of a non-negative number into `buffer`, without allocating; returns the length.
size_t formatDecimal(int64_t value, char (&buffer)[24]) {
    char reversed[24];
    size_t length = 0;
    do {
        reversed[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && length < sizeof reversed);
    for (size_t i = 0; i < length; ++i)
        buffer[i] = reversed[length - 1 - i];
    return length;
}

} // namespace

CrashRecords::CrashRecords(const std::string& stagingFile)
    : m_File(Platform::FromNativeText(stagingFile)),
      m_TrackIdBase(qx_analytics::ComposeTrackId(std::rand(), std::rand(), 0)) {}

bool CrashRecords::addTemplate(const std::string& record) {
    const std::string head = "{\"_track_id\":";
    const std::string timeKey = ",\"time\":";
    if (!record.starts_with(head + "0,"))
        return false;
    size_t time = record.rfind(timeKey + "0,\"type\":");
    if (time == std::string::npos)
        return false;
    const size_t middleStart = head.size() + 1;
    const size_t timeDigit = time + timeKey.size();
    m_Templates.push_back(
        {head, record.substr(middleStart, timeDigit - middleStart), record.substr(timeDigit + 1)});
    return true;
}

void CrashRecords::write(qx_analytics::RecordQueue* queue) noexcept {
    if (queue)
        queue->appendForCrash(m_File);
    std::timespec now{};
    std::timespec_get(&now, TIME_UTC);
    const int64_t milliseconds = int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1'000'000;
    char digits[24];
    for (const Template& part : m_Templates) {
        m_File.Append(part.head.data(), part.head.size());
        m_File.Append(digits, formatDecimal(m_TrackIdBase + milliseconds % 10000, digits));
        m_File.Append(part.middle.data(), part.middle.size());
        m_File.Append(digits, formatDecimal(milliseconds, digits));
        m_File.Append(part.tail.data(), part.tail.size());
        m_File.Append("\r\n", 2);
    }
}

} // namespace quxin::tracking
