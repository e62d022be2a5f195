#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace qx_analytics::utils {
class PropertiesNode;
}

namespace quxin::tracking {

// The business event types; context properties are declared per type.
enum class QxEventType : int {
    Activity = 0,
    PaLaunchPal,
    Login,
    Click,
    View,
    Cashier,
    Share,
    Task,
    File,
    Order,
    Payment,
    Uninstall,
    Update,
    Crashed,
    AppOpenNotification
};

// Properties a caller attaches to one report, each only to the event types it was declared for. Lives
// for one report.
class QxContextProperties {
public:
    static constexpr int kEventTypeCount = 15;
    static constexpr const char* kAbKey = "qxc_ab";

    enum class Kind { Bool = 0, DateTime, Number, String, List };
    // A DateTime is a time value in seconds or milliseconds (see splitTimeValue).
    using Value = std::variant<bool, int64_t, double, std::string, std::vector<std::string>>;
    struct Entry {
        std::string key;
        Kind kind;
        std::shared_ptr<const Value> value; // one value for every type it was declared for
    };

    // Declares the test-group label "qxc_ab" for the given event types. Throws when the label was
    // declared before or a type number is 15 or more (types listed before that one keep the label).
    void setProperty(const std::vector<int>& eventTypes, const std::string& value);
    // Declares any kind of property; the same checks as setProperty.
    void declare(const std::vector<int>& eventTypes, const std::string& key, Kind kind, Value value);

    const std::vector<Entry>& getEventProperties(int eventType) const;
    // Sets the properties declared for `eventType` in `node`; refused strings are dropped.
    void mergeInto(int eventType, qx_analytics::utils::PropertiesNode& node) const;

    // A label is one capital letter followed by up to two capitals or digits. The empty label is not
    // valid; any other invalid one throws, saying which byte is wrong.
    static bool isValidABValue(const std::string& value);

private:
    std::array<std::vector<Entry>, kEventTypeCount> m_Lists;
    std::set<std::string> m_DefinedKeys;
};

} // namespace quxin::tracking
