#include "analytics/sdk/Sdk.h"

#include "analytics/sdk/Diagnostics.h"
#include "analytics/sdk/RecordQueue.h"
#include "analytics/sdk/TrackId.h"
#include "analytics/sdk/Validation.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace qx_analytics {
namespace {

std::atomic<Sdk*> g_Sdk{nullptr};

constexpr char kLib[] = "cpp";
constexpr char kLibVersion[] = "0.9";

int64_t nowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

utils::PropertiesNode single(const std::string& key, ValueNode value) {
    utils::PropertiesNode node;
    node.setValue(key, std::move(value));
    return node;
}

utils::PropertiesNode singleString(const std::string& key, const std::string& value) {
    utils::PropertiesNode node;
    node.setString(key, value); // the string checks apply as for any property
    return node;
}

bool profile(const char* type, const utils::PropertiesNode& properties) {
    Sdk* sdk = g_Sdk.load();
    return sdk && Sdk::AddEvent(type, "", properties, Sdk::DistinctId(), "");
}

} // namespace

Sdk::Sdk(const std::string& stagingPath, std::unique_ptr<RecordSender> sender, std::string distinctId,
         bool isLoginId)
    : m_DistinctId(std::move(distinctId)), m_IsLoginId(isLoginId),
      m_Queue(std::make_unique<RecordQueue>(stagingPath, std::move(sender))) {
    m_SuperProperties.setString("$lib", kLib);
    m_SuperProperties.setString("$lib_version", kLibVersion);
}

Sdk::~Sdk() = default;

bool Sdk::Init(const std::string& stagingPath, const std::string& serverUrl, const std::string& distinctId,
               bool isLoginId) {
    return Init(stagingPath, std::make_unique<HttpSender>(serverUrl), distinctId, isLoginId);
}

bool Sdk::Init(const std::string& stagingPath, std::unique_ptr<RecordSender> sender,
               const std::string& distinctId, bool isLoginId) {
    if (!CheckId("Distinct ID", distinctId))
        return false;
    if (g_Sdk.load())
        return true;
    auto* sdk = new Sdk(stagingPath, std::move(sender), distinctId, isLoginId);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    Sdk* expected = nullptr;
    if (!g_Sdk.compare_exchange_strong(expected, sdk))
        delete sdk; // another thread's Init won
    return true;
}

void Sdk::Shutdown() {
    Sdk* sdk = g_Sdk.exchange(nullptr);
    if (!sdk)
        return;
    sdk->m_Queue->close();
    delete sdk;
}

bool Sdk::Exists() {
    return g_Sdk.load() != nullptr;
}

bool Sdk::Track(const std::string& event, const utils::PropertiesNode& properties) {
    Sdk* sdk = g_Sdk.load();
    return sdk && AddEvent("track", event, properties, sdk->m_DistinctId, "");
}

bool Sdk::TrackSignup(const std::string& loginId) {
    Sdk* sdk = g_Sdk.load();
    if (!sdk)
        return false;
    bool queued = AddEvent("track_signup", "$SignUp", {}, loginId, sdk->m_DistinctId);
    sdk->m_DistinctId = loginId;
    sdk->m_IsLoginId = true;
    return queued;
}

bool Sdk::ProfileSet(const utils::PropertiesNode& properties) {
    return profile("profile_set", properties);
}
bool Sdk::ProfileSet(const std::string& key, const std::string& value) {
    return ProfileSet(singleString(key, value));
}
bool Sdk::ProfileSet(const std::string& key, int64_t value) {
    return ProfileSet(single(key, ValueNode::Int(value)));
}
bool Sdk::ProfileSet(const std::string& key, double value) {
    return ProfileSet(single(key, ValueNode::Number(value)));
}
bool Sdk::ProfileSetOnce(const utils::PropertiesNode& properties) {
    return profile("profile_set_once", properties);
}
bool Sdk::ProfileSetOnce(const std::string& key, const std::string& value) {
    return ProfileSetOnce(singleString(key, value));
}
bool Sdk::ProfileSetOnce(const std::string& key, int64_t value) {
    return ProfileSetOnce(single(key, ValueNode::Int(value)));
}
bool Sdk::ProfileSetOnce(const std::string& key, double value) {
    return ProfileSetOnce(single(key, ValueNode::Number(value)));
}
bool Sdk::ProfileIncrement(const utils::PropertiesNode& properties) {
    return profile("profile_increment", properties);
}
bool Sdk::ProfileIncrement(const std::string& key, int64_t value) {
    return ProfileIncrement(single(key, ValueNode::Int(value)));
}
bool Sdk::ProfileAppend(const std::string& key, const std::string& value) {
    return profile("profile_append", single(key, ValueNode::List({value})));
}

void Sdk::RegisterSuperProperties(const utils::PropertiesNode& properties) {
    if (Sdk* sdk = g_Sdk.load())
        sdk->m_SuperProperties.merge(properties);
}

bool Sdk::AddEvent(const std::string& type, const std::string& event, const utils::PropertiesNode& properties,
                   const std::string& distinctId, const std::string& originalId) {
    Sdk* sdk = g_Sdk.load();
    if (!sdk)
        return false;
    auto record = sdk->buildRecord(type, event, properties, distinctId, originalId, nullptr);
    if (!record)
        return false;
    sdk->m_Queue->add(std::move(*record));
    return true;
}

std::optional<std::string> Sdk::TrackRecordTemplate(const std::string& event,
                                                    const utils::PropertiesNode& properties) {
    Sdk* sdk = g_Sdk.load();
    if (!sdk)
        return std::nullopt;
    const Stamp zero{0, 0};
    return sdk->buildRecord("track", event, properties, sdk->m_DistinctId, "", &zero);
}

std::optional<std::string> Sdk::buildRecord(const std::string& type, const std::string& event,
                                            const utils::PropertiesNode& properties,
                                            const std::string& distinctId, const std::string& originalId,
                                            const Stamp* stamp) const {
    // One invalid key refuses the whole record.
    for (const auto& [key, value] : properties.members()) {
        if (!CheckName("Property Key", key))
            return std::nullopt;
        if (key == "$time" && value.kind() != ValueNode::Kind::DateTime) {
            ErrorText("The property '$time' should be DateTime type.");
            return std::nullopt;
        }
        if (key == "$project" && value.kind() != ValueNode::Kind::String) {
            ErrorText("The property '$project' should be String type.");
            return std::nullopt;
        }
    }
    if (type == "track" && !CheckName("Event Name", event))
        return std::nullopt;
    if (type == "track_signup" && !CheckId("Original ID", originalId))
        return std::nullopt;

    const bool isTrack = type.find("track") != std::string::npos;
    utils::PropertiesNode merged;
    if (isTrack)
        merged.merge(m_SuperProperties);
    merged.merge(properties);

    int64_t time;
    if (const ValueNode* given = merged.find("$time")) {
        DateTime at = given->dateTime();
        time = at.seconds * 1000 + at.milliseconds;
        merged.remove("$time");
    } else {
        time = nowMilliseconds();
    }
    std::string project;
    if (const ValueNode* given = merged.find("$project")) {
        project = given->string();
        merged.remove("$project");
    }
    if (m_IsLoginId)
        merged.setBool("$is_login_id", true);

    utils::ObjectNode lib;
    lib.setValue("$lib", ValueNode::String(kLib));
    lib.setValue("$lib_version", ValueNode::String(kLibVersion));
    lib.setValue("$lib_method", ValueNode::String("code"));

    utils::ObjectNode record;
    record.setValue("_track_id", ValueNode::Int(stamp ? stamp->trackId : NewTrackId(nowMilliseconds())));
    record.setValue("distinct_id", ValueNode::String(distinctId));
    if (isTrack)
        record.setValue("event", ValueNode::String(event));
    record.setObject("lib", lib);
    if (type == "track_signup")
        record.setValue("original_id", ValueNode::String(originalId));
    if (!project.empty())
        record.setValue("project", ValueNode::String(project));
    record.setObject("properties", merged);
    record.setValue("time", ValueNode::Int(stamp ? stamp->timeMilliseconds : time));
    record.setValue("type", ValueNode::String(type));
    return record.toJson();
}

bool Sdk::FlushAll() {
    Sdk* sdk = g_Sdk.load();
    return sdk && sdk->m_Queue->flushAll();
}

bool Sdk::LastSendSucceeded() {
    Sdk* sdk = g_Sdk.load();
    return sdk && sdk->m_Queue->lastSendSucceeded();
}

std::string Sdk::DistinctId() {
    Sdk* sdk = g_Sdk.load();
    return sdk ? sdk->m_DistinctId : std::string();
}

bool Sdk::IsLoginId() {
    Sdk* sdk = g_Sdk.load();
    return sdk && sdk->m_IsLoginId;
}

RecordQueue* Sdk::Queue() {
    Sdk* sdk = g_Sdk.load();
    return sdk ? sdk->m_Queue.get() : nullptr;
}

} // namespace qx_analytics
