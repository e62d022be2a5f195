#pragma once

#include <string>
#include <string_view>

namespace DownloadServer {

// What a request path asks for:
//   /<name>                    the file
//   /<32 hex digits>/<name>    the same file; the folder is where clients read the expected MD5
//   /redirect/<n>/<name>       a redirect, n more hops before the digest folder
struct FileRoute {
    enum class Kind { File, Redirect, None };
    Kind kind{Kind::None};
    std::string name;
    unsigned hops{0};
};

// `path` is the decoded request path, without the query.
FileRoute ParseFileRoute(std::string_view path);

// Percent-encodes a file name for use as one segment of a path.
std::string EncodePathSegment(std::string_view name);

} // namespace DownloadServer
