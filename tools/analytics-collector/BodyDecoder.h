#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Takes a posted batch apart the way a collector must: the form field "data_list" (with "gzip=1"),
// percent-decoding, Base64, gunzip, then a JSON array of record objects. Written independently of the
// installer's encoder, so that a fault in either shows.
namespace AnalyticsCollector {

struct DecodedBatch {
    std::vector<std::string> records; // each element's text exactly as it was sent
    std::string error;                // why the body was refused; empty when it was not
};

DecodedBatch DecodeBody(std::string_view body);

// The single steps, for the tests of the collector itself.
std::optional<std::string> PercentDecode(std::string_view text);
std::optional<std::string> Base64Decode(std::string_view text);
std::optional<std::string> Gunzip(std::string_view data);
// The elements of a JSON array of objects; nullopt unless the text is exactly such an array.
std::optional<std::vector<std::string>> SplitRecords(std::string_view json);

} // namespace AnalyticsCollector
