#pragma once

#include "platform/AppendOnlyFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qx_analytics {
class RecordQueue;
}

namespace quxin::tracking {

// The records of a crash, written to the staging file so that the next run sends them. A crash handler
// may run in a signal handler, where nothing may be allocated, no lock waited for and no request made:
// the records are built beforehand with a placeholder track id and time, which are filled in digit by
// digit when they are written.
class CrashRecords {
public:
    explicit CrashRecords(const std::string& stagingFile);

    // Adds a record built with track id 0 and time 0; false when it does not have that form.
    bool addTemplate(const std::string& record);
    // Appends the queued records (when the queue is free at once) and then the crash records.
    void write(qx_analytics::RecordQueue* queue) noexcept;

private:
    struct Template {
        std::string head;   // up to the track id
        std::string middle; // between the track id and the time
        std::string tail;   // after the time
    };

    std::vector<Template> m_Templates;
    Platform::AppendOnlyFile m_File;
    int64_t m_TrackIdBase; // the random digits of the track ids
};

} // namespace quxin::tracking
