#include "tools/analytics-collector/BodyDecoder.h"

#include <json/json.h>
#include <zlib.h>

#include <memory>

namespace AnalyticsCollector {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::optional<std::string> PercentDecode(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' '; // a form's space: a '+' of Base64 must arrive as %2B
        } else if (text[i] == '%') {
            if (i + 2 >= text.size())
                return std::nullopt;
            int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int padding = 0;
        unsigned quad = 0;
        for (size_t k = 0; k < 4; ++k) {
            char c = text[i + k];
            int value;
            if (c == '=' && last && k >= 2) {
                ++padding;
                value = 0;
            } else {
                value = padding ? -1 : base64Value(c);
                if (value < 0)
                    return std::nullopt;
            }
            quad = quad << 6 | static_cast<unsigned>(value);
        }
        out += static_cast<char>(quad >> 16 & 0xFF);
        if (padding < 2)
            out += static_cast<char>(quad >> 8 & 0xFF);
        if (padding < 1)
            out += static_cast<char>(quad & 0xFF);
    }
    return out;
}

std::optional<std::string> Gunzip(std::string_view data) {
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 16) != Z_OK) // gzip wrapper only
        return std::nullopt;
    std::unique_ptr<z_stream, int (*)(z_stream*)> end(&stream, inflateEnd);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string out;
    char chunk[16384];
    int code;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        code = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, sizeof chunk - stream.avail_out);
    } while (code == Z_OK);
    // One whole stream and nothing after it.
    if (code != Z_STREAM_END || stream.avail_in != 0)
        return std::nullopt;
    return out;
}

std::optional<std::vector<std::string>> SplitRecords(std::string_view json) {
    Json::CharReaderBuilder builder;
    Json::CharReaderBuilder::strictMode(&builder.settings_);
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value array;
    std::string errors;
    if (!reader->parse(json.data(), json.data() + json.size(), &array, &errors) || !array.isArray())
        return std::nullopt;
    for (const Json::Value& element : array)
        if (!element.isObject())
            return std::nullopt;

    // The parse proved the text well-formed; cut it at the commas between top-level elements.
    std::string_view inner = trimmed(json);
    inner = inner.substr(1, inner.size() - 2);
    std::vector<std::string> records;
    int depth = 0;
    bool inString = false;
    size_t start = 0;
    for (size_t i = 0; i < inner.size(); ++i) {
        char c = inner[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (c == ',' && depth == 0) {
            records.emplace_back(trimmed(inner.substr(start, i - start)));
            start = i + 1;
        }
    }
    if (std::string_view last = trimmed(inner.substr(start)); !last.empty())
        records.emplace_back(last);
    if (records.size() != array.size())
        return std::nullopt;
    return records;
}

DecodedBatch DecodeBody(std::string_view body) {
    DecodedBatch batch;
    std::optional<std::string_view> data;
    bool gzip = false;
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string_view::npos)
            end = body.size();
        std::string_view field = body.substr(start, end - start);
        if (field.starts_with("data_list="))
            data = field.substr(10);
        else if (field == "gzip=1")
            gzip = true;
        start = end + 1;
    }
    if (!data) {
        batch.error = "no data_list field";
        return batch;
    }
    if (!gzip) {
        batch.error = "no gzip=1 field";
        return batch;
    }
    auto base64 = PercentDecode(*data);
    if (!base64) {
        batch.error = "data_list is not percent-encoded";
        return batch;
    }
    auto compressed = Base64Decode(*base64);
    if (!compressed) {
        batch.error = "data_list is not Base64";
        return batch;
    }
    auto json = Gunzip(*compressed);
    if (!json) {
        batch.error = "data_list is not gzip";
        return batch;
    }
    auto records = SplitRecords(*json);
    if (!records) {
        batch.error = "data_list is not a JSON array of objects";
        return batch;
    }
    batch.records = std::move(*records);
    return batch;
}

} // namespace AnalyticsCollector
