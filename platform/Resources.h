#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Program resources: byte blobs linked into the executable at build time (see
// tovaclip_embed_resources in cmake/Tovaclip.cmake), looked up by number or name and type as on
// Windows. Type and name compare without regard to ASCII case, as Windows stores them upper-cased.
namespace Platform {

// The bytes of resource `id` of `type`; empty when there is no such resource (or it is empty).
// The bytes live as long as the process.
std::span<const uint8_t> FindResource(int id, std::string_view type);
// The same for a resource registered under a name instead of a number.
std::span<const uint8_t> FindResource(std::string_view name, std::string_view type);

// Made by the generated embedding code during static initialisation; `name` is the number in
// decimal or the resource's name. Not for other callers.
struct ResourceRegistration {
    ResourceRegistration(const char* type, const char* name, const uint8_t* begin, const uint8_t* end);
};

} // namespace Platform
