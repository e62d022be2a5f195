#include "tools/download-server/FileAnswer.h"

#include "tools/download-server/ByteRange.h"
#include "tools/download-server/Connection.h"
#include "tools/download-server/FileReader.h"

#include <algorithm>
#include <httplib.h>
#include <memory>
#include <vector>

namespace DownloadServer {
namespace {

constexpr size_t kBlockSize = 64 * 1024;
constexpr auto kStallPause = std::chrono::seconds(2);

// Everything one answer's body needs; kept alive by the content provider that httplib copies around.
struct BodyState {
    const httplib::Request* request;
    std::unique_ptr<FileReader> file;
    std::uint64_t first{0};
    std::uint64_t bytesToSend{0};
    bool closeAtEnd{false};
    bool stall{false};
    StopFlag* stop;
    std::vector<char> block;
};

// httplib passes the number of body bytes already written as `offset`.
bool SendNext(BodyState& state, size_t offset, httplib::DataSink& sink) {
    if (offset >= state.bytesToSend) {
        if (state.closeAtEnd) {
            Connection::Close(*state.request);
            return false;
        }
        sink.done();
        return true;
    }
    if (state.stall && !state.stop->sleepFor(kStallPause))
        return false;
    if (state.stop->raised())
        return false;
    const size_t count = state.stall ? 1 : std::min<std::uint64_t>(kBlockSize, state.bytesToSend - offset);
    const long got = state.file->readAt(state.first + offset, state.block.data(), count);
    if (got <= 0)
        return false;
    return sink.write(state.block.data(), static_cast<size_t>(got));
}

} // namespace

void AnswerFile(const httplib::Request& request, httplib::Response& response,
                const std::filesystem::path& file, const std::optional<Fault>& fault, StopFlag& stop) {
    auto reader = std::make_unique<FileReader>(file);
    if (!reader->isOpen()) {
        response.status = 404;
        return;
    }
    const std::uint64_t size = reader->size();
    const Fault shape = fault.value_or(Fault{});

    ByteRange range;
    if (request.method == "GET" && !shape.noRange)
        range = ResolveRange(request.get_header_value("Range"), size);
    response.set_header("Accept-Ranges", "bytes");
    if (range.kind == ByteRange::Kind::Unsatisfiable) {
        response.status = 416;
        response.set_header("Content-Range", "bytes */" + std::to_string(size));
        return;
    }
    std::uint64_t first = 0;
    std::uint64_t length = size;
    if (range.kind == ByteRange::Kind::Part) {
        const std::uint64_t last = std::min(range.last + shape.overRange, size - 1);
        first = range.first;
        length = last - first + 1;
        response.set_header("Content-Range", "bytes " + std::to_string(first) + '-' + std::to_string(last) +
                                                 '/' + std::to_string(size));
    }
    // Always set: httplib would otherwise make it 206 whenever the request has a Range.
    response.status = range.kind == ByteRange::Kind::Part ? 206 : 200;

    auto state = std::make_shared<BodyState>();
    state->request = &request;
    state->file = std::move(reader);
    state->first = first;
    state->bytesToSend = length;
    state->stall = shape.stall;
    state->stop = &stop;
    state->block.resize(shape.stall ? 1 : kBlockSize);
    if (shape.cutAfter && *shape.cutAfter < length) {
        state->bytesToSend = *shape.cutAfter;
        state->closeAtEnd = true;
    }
    if (shape.noLength) {
        // Without a length the end of the connection is the end of the body.
        response.set_header("Connection", "close");
        state->closeAtEnd = true;
    } else {
        response.set_header("Content-Length", std::to_string(length));
    }
    // The provider without a length leaves our status, Content-Length and Content-Range alone;
    // the one with a length would apply httplib's own range handling on top of ours.
    response.set_content_provider(
        "application/octet-stream",
        [state](size_t offset, httplib::DataSink& sink) { return SendNext(*state, offset, sink); });
}

} // namespace DownloadServer
