#pragma once

#include <optional>
#include <string>
#include <string_view>

// The wire form of a batch: gzip, then Base64, then percent-encoding, as one form field.
namespace qx_analytics {

// gzip-wrapped deflate at level 9; nullopt (with a line on standard error) when zlib fails.
std::optional<std::string> Gzip(std::string_view data);
// Standard alphabet, '=' padding, no line breaks.
std::string Base64Encode(std::string_view data);
// Letters, digits and "-._~" stay; every other byte becomes %XX with upper-case digits.
std::string PercentEncode(std::string_view text);
// "data_list=" + the encoded batch + "&gzip=1"; nullopt when compression failed.
std::optional<std::string> EncodeBody(std::string_view batch);

} // namespace qx_analytics
