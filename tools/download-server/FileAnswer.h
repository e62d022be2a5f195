#pragma once

#include "tools/download-server/Fault.h"
#include "tools/download-server/StopFlag.h"

#include <filesystem>
#include <optional>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace DownloadServer {

// Answers a GET or HEAD of `file`: the whole file, the range asked, or 416, shaped by the body faults
// of `fault` (cut, stall, nolength, norange, overrange). The body is read and sent block by block as
// the client takes it, so files of any size are served in constant memory.
void AnswerFile(const httplib::Request& request, httplib::Response& response,
                const std::filesystem::path& file, const std::optional<Fault>& fault, StopFlag& stop);

} // namespace DownloadServer
