#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace DownloadServer {

// How the server misbehaves for one path, parsed from a comma-separated list such as "cut=1000,times=1".
//   cut=N        headers with the full Content-Length, then the connection closes after N body bytes
//   reset        the connection closes (with a TCP reset) before any answer
//   stall        headers, then at most one body byte every two seconds while the client stays
//   status=CODE  answer CODE with an empty body
//   nolength     the body is sent without Content-Length and ends when the connection closes
//   norange      Range is ignored: 200 with the whole file
//   overrange=N  a Range answer covers N bytes past the asked end (up to the end of the file) and
//                declares that larger range in Content-Range and Content-Length
//   delay=MS     wait MS milliseconds before answering
//   head=ok, get the fault leaves HEAD alone (the default unless reset or status is given)
//   times=K      the fault applies to the next K requests it touches, then clears (default: always)
struct Fault {
    std::optional<std::uint64_t> cutAfter;
    bool reset{false};
    bool stall{false};
    std::optional<int> status;
    bool noLength{false};
    bool noRange{false};
    std::uint64_t overRange{0};
    std::chrono::milliseconds delay{0};
    bool getOnly{false};
    std::optional<unsigned> times;

    bool appliesTo(std::string_view method) const {
        return method == "GET" || (method == "HEAD" && !getOnly);
    }
};

struct FaultParse {
    std::optional<Fault> fault;
    std::string error;
};

FaultParse ParseFault(std::string_view list);

} // namespace DownloadServer
