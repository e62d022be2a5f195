#pragma once

#include <string>
#include <string_view>

// The rules every name, id and string value of a record must pass. A refusal writes one line to
// standard error naming the label (never the value, for names and ids).
namespace qx_analytics {

inline constexpr size_t kMaxNameLength = 100;
inline constexpr size_t kMaxIdLength = 255;
inline constexpr size_t kMaxStringLength = 8192;

// Names of events and property keys: 1 to 100 bytes, a letter, '$' or '_' first, then letters,
// digits, '$' or '_'. `label` is "Event Name" or "Property Key".
bool CheckName(const std::string& label, const std::string& value);
// Distinct and original ids: 1 to 255 bytes. `label` is "Distinct ID" or "Original ID".
bool CheckId(const std::string& label, const std::string& value);

// UTF-8 as the collector accepts it: among the single bytes only tab, line feed, carriage return and
// 32 to 126; no overlong forms, no surrogates, nothing above U+10FFFF, nothing cut off.
bool IsStrictUtf8(std::string_view text);
// A string property's value: at most 8192 bytes of strict UTF-8.
bool CheckStringValue(const std::string& key, const std::string& value);

} // namespace qx_analytics
