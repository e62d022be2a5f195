#include "analytics/sdk/BodyEncoding.h"

#include "analytics/sdk/Diagnostics.h"

#include <zlib.h>

namespace qx_analytics {
namespace {

constexpr size_t kChunk = 32768;
constexpr int kGzipWindowBits = 15 + 16; // deflate with the gzip wrapper
constexpr int kMemoryLevel = 8;

} // namespace

std::optional<std::string> Gzip(std::string_view data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        ErrorLine("deflateInit2 failed while compressing.");
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char chunk[kChunk];
    int code;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = kChunk;
        code = deflate(&stream, Z_FINISH);
        out.append(chunk, kChunk - stream.avail_out);
    } while (code == Z_OK);
    if (code != Z_STREAM_END) {
        ErrorLine("Exception during zlib compression: (" + std::to_string(code) + ") " +
                  (stream.msg ? stream.msg : ""));
        deflateEnd(&stream);
        return std::nullopt;
    }
    deflateEnd(&stream);
    return out;
}

std::string Base64Encode(std::string_view data) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((data.size() + 2) / 3 * 4);
    size_t i = 0;
    auto byte = [&](size_t k) { return static_cast<unsigned>(static_cast<unsigned char>(data[k])); };
    for (; i + 3 <= data.size(); i += 3) {
        unsigned triple = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        out += kAlphabet[triple >> 18 & 63];
        out += kAlphabet[triple >> 12 & 63];
        out += kAlphabet[triple >> 6 & 63];
        out += kAlphabet[triple & 63];
    }
    if (size_t rest = data.size() - i) {
        unsigned triple = byte(i) << 16 | (rest == 2 ? byte(i + 1) << 8 : 0);
        out += kAlphabet[triple >> 18 & 63];
        out += kAlphabet[triple >> 12 & 63];
        out += rest == 2 ? kAlphabet[triple >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::string PercentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' ||
            b == '.' || b == '_' || b == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::optional<std::string> EncodeBody(std::string_view batch) {
    auto compressed = Gzip(batch);
    if (!compressed)
        return std::nullopt;
    return "data_list=" + PercentEncode(Base64Encode(*compressed)) + "&gzip=1";
}

} // namespace qx_analytics
