#pragma once

#include <cstdint>
#include <string_view>

namespace DownloadServer {

// What a Range header asks of a file of a given size. Only single ranges are served; anything else is
// ignored, as HTTP allows, and the whole file is sent.
struct ByteRange {
    enum class Kind { Whole, Part, Unsatisfiable };
    Kind kind{Kind::Whole};
    std::uint64_t first{0};
    std::uint64_t last{0}; // inclusive, as in Content-Range
};

ByteRange ResolveRange(std::string_view header, std::uint64_t size);

} // namespace DownloadServer
