#include "platform/Resources.h"

#include <string>
#include <vector>

namespace Platform {

namespace {

struct Resource {
    std::string type;
    std::string name;
    std::span<const uint8_t> bytes;
};

// A function-local table, so registrations made from other translation units' static
// initialisers never run before it exists.
std::vector<Resource>& Table() {
    static std::vector<Resource> table;
    return table;
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

ResourceRegistration::ResourceRegistration(const char* type, const char* name, const uint8_t* begin,
                                           const uint8_t* end) {
    Table().push_back({type, name, std::span<const uint8_t>(begin, end)});
}

std::span<const uint8_t> FindResource(std::string_view name, std::string_view type) {
    for (const Resource& resource : Table())
        if (SameIgnoringAsciiCase(resource.type, type) && SameIgnoringAsciiCase(resource.name, name))
            return resource.bytes;
    return {};
}

std::span<const uint8_t> FindResource(int id, std::string_view type) {
    return FindResource(std::to_string(id), type);
}

} // namespace Platform
