#include "platform/TextCodec.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>

namespace Platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isScalarValue(char32_t c) {
    return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF);
}

void appendUtf8(std::string& out, char32_t c) {
    if (!isScalarValue(c))
        c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The system code page: the codeset of the C locale. The plain C/POSIX locale reports ASCII, which
// UTF-8 extends, and file names on this system are UTF-8, so ASCII is read as UTF-8.
bool systemCodePageIsUtf8() {
    const char* codeset = nl_langinfo(CODESET);
    return std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "ANSI_X3.4-1968") == 0 ||
           std::strcmp(codeset, "ASCII") == 0;
}

std::string iconvName(unsigned codePage) {
    if (codePage == kCodePageSystem)
        return nl_langinfo(CODESET);
    return "CP" + std::to_string(codePage);
}

// Converts all of `input` through iconv; false when the code page is unknown or the text does not fit it.
bool convert(const char* to, const char* from, const char* input, size_t inputSize, std::string& output) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    output.assign(inputSize * 4 + 16, '\0');
    char* in = const_cast<char*>(input);
    size_t inLeft = inputSize;
    size_t done = 0;
    bool ok = true;
    while (true) {
        char* out = output.data() + done;
        size_t outLeft = output.size() - done;
        size_t rc =
            in ? iconv(cd, &in, &inLeft, &out, &outLeft) : iconv(cd, nullptr, nullptr, &out, &outLeft);
        done = output.size() - outLeft;
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                output.resize(output.size() * 2);
                continue;
            }
            ok = false;
            break;
        }
        if (!in)
            break;
        in = nullptr; // flush the shift state
    }
    iconv_close(cd);
    output.resize(ok ? done : 0);
    return ok;
}

} // namespace

std::wstring FromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        unsigned char b = *p;
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++p;
            continue;
        }
        int length = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
        char32_t c = length == 4 ? b & 0x07 : length == 3 ? b & 0x0F : b & 0x1F;
        int taken = 1;
        while (length && taken < length && p + taken < end && (p[taken] & 0xC0) == 0x80) {
            c = (c << 6) | (p[taken] & 0x3F);
            ++taken;
        }
        bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
        if (!length || taken < length || overlong || !isScalarValue(c)) {
            out += static_cast<wchar_t>(kReplacement);
            p += length && taken < length ? taken : 1;
            continue;
        }
        out += static_cast<wchar_t>(c);
        p += length;
    }
    return out;
}

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        appendUtf8(out, static_cast<char32_t>(c));
    return out;
}

std::wstring DecodeCodePage(std::string_view text, unsigned codePage) {
    if (codePage == kCodePageUtf8 || (codePage == kCodePageSystem && systemCodePageIsUtf8()))
        return FromUtf8(text);
    std::string bytes;
    if (!convert("WCHAR_T", iconvName(codePage).c_str(), text.data(), text.size(), bytes))
        return {};
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

std::string EncodeCodePage(std::wstring_view text, unsigned codePage) {
    if (codePage == kCodePageUtf8 || (codePage == kCodePageSystem && systemCodePageIsUtf8()))
        return ToUtf8(text);
    std::string bytes;
    if (!convert(iconvName(codePage).c_str(), "WCHAR_T", reinterpret_cast<const char*>(text.data()),
                 text.size() * sizeof(wchar_t), bytes))
        return {};
    return bytes;
}

std::string NativeText(std::wstring_view text) {
    return EncodeCodePage(text, kCodePageSystem);
}

std::wstring FromNativeText(std::string_view text) {
    return DecodeCodePage(text, kCodePageSystem);
}

} // namespace Platform
