#include "tools/download-server/ByteRange.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace DownloadServer {
namespace {

std::optional<std::uint64_t> ParseOffset(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

ByteRange ResolveRange(std::string_view header, std::uint64_t size) {
    constexpr std::string_view kUnit = "bytes=";
    if (!header.starts_with(kUnit))
        return {};
    header.remove_prefix(kUnit.size());
    const size_t dash = header.find('-');
    if (dash == std::string_view::npos || header.find(',') != std::string_view::npos)
        return {};
    const std::string_view from = header.substr(0, dash);
    const std::string_view to = header.substr(dash + 1);

    if (from.empty()) { // bytes=-N: the last N bytes
        auto count = ParseOffset(to);
        if (!count)
            return {};
        if (*count == 0 || size == 0)
            return {ByteRange::Kind::Unsatisfiable};
        return {ByteRange::Kind::Part, size - std::min(*count, size), size - 1};
    }
    auto first = ParseOffset(from);
    std::optional<std::uint64_t> last = to.empty() ? std::optional(UINT64_MAX) : ParseOffset(to);
    if (!first || !last || *last < *first)
        return {};
    if (*first >= size)
        return {ByteRange::Kind::Unsatisfiable};
    return {ByteRange::Kind::Part, *first, std::min(*last, size - 1)};
}

} // namespace DownloadServer
