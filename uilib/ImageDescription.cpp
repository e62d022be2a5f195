#include "uilib/ImageDescription.h"

#include "uilib/Colour.h"
#include "uilib/ImageLoader.h"
#include "uilib/NumberList.h"

#include <algorithm>
#include <array>

namespace UiLib {

namespace {

bool isWhitespace(wchar_t c) {
    return static_cast<std::uint32_t>(c) <= 32;
}

Platform::Rect parseRect(std::wstring_view text) {
    std::array<int, 4> values{};
    ParseNumberList(text, values);
    return {values[0], values[1], values[2], values[3]};
}

void apply(ImageDescription& image, std::wstring_view key, std::wstring_view value) {
    if (key == L"file" || key == L"res")
        image.name = value;
    else if (key == L"restype")
        image.resourceType = value;
    else if (key == L"color") {
        image.name = value;
        image.resourceType = kColorImageType;
    } else if (key == L"dest")
        image.dest = parseRect(value);
    else if (key == L"source")
        image.source = parseRect(value);
    else if (key == L"corner" || key == L"scale9")
        image.corner = parseRect(value);
    else if (key == L"mask")
        image.mask = ParseColour(value);
    else if (key == L"fade") {
        size_t pos = 0;
        image.fade = std::clamp(ReadDecimal(value, pos), 0, 255);
    } else if (key == L"hole")
        image.hole = value == L"true";
    else if (key == L"xtiled")
        image.xTiled = value == L"true";
    else if (key == L"ytiled")
        image.yTiled = value == L"true";
    else if (key == L"hsl")
        image.hsl = value == L"true";
}

} // namespace

ImageDescription ParseImageDescription(std::wstring_view text) {
    ImageDescription image;
    image.name = text;
    if (text.find(L'=') == std::wstring_view::npos)
        return image;

    size_t pos = 0;
    auto skipWhitespace = [&] {
        while (pos < text.size() && isWhitespace(text[pos]))
            ++pos;
    };
    for (;;) {
        skipWhitespace();
        const size_t keyStart = pos;
        while (pos < text.size() && text[pos] != L'=' && !isWhitespace(text[pos]))
            ++pos;
        const std::wstring_view key = text.substr(keyStart, pos - keyStart);
        skipWhitespace();
        if (pos >= text.size() || text[pos] != L'=')
            break;
        ++pos;
        skipWhitespace();
        if (pos >= text.size() || text[pos] != L'\'')
            break;
        ++pos;
        const size_t valueEnd = text.find(L'\'', pos);
        if (valueEnd == std::wstring_view::npos)
            break;
        const std::wstring_view value = text.substr(pos, valueEnd - pos);
        if (!value.empty())
            apply(image, key, value);
        pos = valueEnd + 1;
        if (pos >= text.size() || text[pos] != L' ')
            break;
        ++pos;
    }
    return image;
}

} // namespace UiLib
