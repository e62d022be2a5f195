#pragma once

#include "analytics/sdk/ObjectNode.h"

namespace qx_analytics::utils {

// The properties of one event or profile change: flat, so nested objects are ignored.
class PropertiesNode : public ObjectNode {
public:
    void setObject(const std::string&, const ObjectNode&) override {}
};

} // namespace qx_analytics::utils
