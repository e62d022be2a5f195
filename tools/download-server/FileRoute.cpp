#include "tools/download-server/FileRoute.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace DownloadServer {
namespace {

bool IsDigest(std::string_view segment) {
    return segment.size() == 32 &&
           std::all_of(segment.begin(), segment.end(), [](unsigned char c) { return std::isxdigit(c); });
}

} // namespace

FileRoute ParseFileRoute(std::string_view path) {
    if (!path.starts_with('/'))
        return {};
    std::vector<std::string_view> segments;
    for (path.remove_prefix(1);;) {
        const size_t slash = path.find('/');
        segments.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    const std::string name(segments.back());
    if (segments.size() == 1)
        return {FileRoute::Kind::File, name};
    if (segments.size() == 2 && IsDigest(segments[0]))
        return {FileRoute::Kind::File, name};
    if (segments.size() == 3 && segments[0] == "redirect") {
        unsigned hops = 0;
        const std::string_view count = segments[1];
        auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), hops);
        if (!count.empty() && error == std::errc() && end == count.data() + count.size())
            return {FileRoute::Kind::Redirect, name, hops};
    }
    return {};
}

std::string EncodePathSegment(std::string_view name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : name) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xf];
        }
    }
    return encoded;
}

} // namespace DownloadServer
