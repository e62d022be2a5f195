#include "utils/TextConversion.h"

#include "platform/TextCodec.h"

namespace Utils {

std::wstring ToWide(const std::string& text, unsigned codePage) {
    return Platform::DecodeCodePage(text, codePage);
}

std::string ToNarrow(const std::wstring& text, unsigned codePage) {
    return Platform::EncodeCodePage(text, codePage);
}

std::wstring UrlEncode(const std::wstring& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::wstring out;
    for (unsigned char byte : Platform::ToUtf8(text)) {
        if (byte >= 33 && byte <= 126) {
            out += static_cast<wchar_t>(byte);
        } else if (byte == ' ') {
            out += L'+';
        } else {
            out += L'%';
            out += static_cast<wchar_t>(kHex[byte >> 4]);
            out += static_cast<wchar_t>(kHex[byte & 0x0F]);
        }
    }
    return out;
}

std::wstring ReplaceAll(const std::wstring& text, const std::wstring& what, const std::wstring& with) {
    if (what.empty())
        return text;
    std::wstring out;
    size_t from = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, from)) {
        out.append(text, from, at - from).append(with);
        from = at + what.size();
    }
    return out.append(text, from);
}

} // namespace Utils
