#pragma once

#include "analytics/sdk/PropertiesNode.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace qx_analytics {

class RecordQueue;
class RecordSender;

// The event-collection SDK: one instance per process, created by Init and ended by Shutdown. Every
// operation turns into one JSON record that is checked, stamped and queued; without an instance every
// operation does nothing. Nothing throws to the caller: refusals write a line to standard error.
//
// The identity and the super properties are read without a lock when a record is built: change them
// (Init, TrackSignup, RegisterSuperProperties) only while no other thread is tracking.
class Sdk {
public:
    // False only when the distinct id is refused. An existing instance is kept as it is.
    static bool Init(const std::string& stagingPath, const std::string& serverUrl,
                     const std::string& distinctId, bool isLoginId);
    // The same with a sender of the caller's instead of HTTP.
    static bool Init(const std::string& stagingPath, std::unique_ptr<RecordSender> sender,
                     const std::string& distinctId, bool isLoginId);
    // Closes the queue (its records go to the staging file) and ends the instance.
    static void Shutdown();
    static bool Exists();

    static bool Track(const std::string& event, const utils::PropertiesNode& properties);
    // Records "$SignUp" under the login id with the previous id as original id, then switches to it.
    static bool TrackSignup(const std::string& loginId);

    static bool ProfileSet(const utils::PropertiesNode& properties);
    static bool ProfileSet(const std::string& key, const std::string& value);
    static bool ProfileSet(const std::string& key, int64_t value);
    static bool ProfileSet(const std::string& key, double value);
    static bool ProfileSetOnce(const utils::PropertiesNode& properties);
    static bool ProfileSetOnce(const std::string& key, const std::string& value);
    static bool ProfileSetOnce(const std::string& key, int64_t value);
    static bool ProfileSetOnce(const std::string& key, double value);
    static bool ProfileIncrement(const utils::PropertiesNode& properties);
    static bool ProfileIncrement(const std::string& key, int64_t value);
    static bool ProfileAppend(const std::string& key, const std::string& value);

    static void RegisterSuperProperties(const utils::PropertiesNode& properties);

    // Builds a record and queues it; false when a check refused it.
    static bool AddEvent(const std::string& type, const std::string& event,
                         const utils::PropertiesNode& properties, const std::string& distinctId,
                         const std::string& originalId);
    // A "track" record as AddEvent would build it, with track id 0 and time 0, not queued: a template
    // for records that must later be written where nothing may be built (a crash handler).
    static std::optional<std::string> TrackRecordTemplate(const std::string& event,
                                                          const utils::PropertiesNode& properties);

    static bool FlushAll();
    static bool LastSendSucceeded();
    static std::string DistinctId();
    static bool IsLoginId();
    // The instance's queue; null without an instance.
    static RecordQueue* Queue();

    ~Sdk();

private:
    struct Stamp {
        int64_t trackId;
        int64_t timeMilliseconds;
    };

    Sdk(const std::string& stagingPath, std::unique_ptr<RecordSender> sender, std::string distinctId,
        bool isLoginId);

    std::optional<std::string> buildRecord(const std::string& type, const std::string& event,
                                           const utils::PropertiesNode& properties,
                                           const std::string& distinctId, const std::string& originalId,
                                           const Stamp* stamp) const;

    utils::PropertiesNode m_SuperProperties;
    std::string m_DistinctId;
    bool m_IsLoginId{false};
    std::unique_ptr<RecordQueue> m_Queue;
};

} // namespace qx_analytics
