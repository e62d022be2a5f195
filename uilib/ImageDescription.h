#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace UiLib {

// The parsed form of an image attribute: either a bare image name ("res\mainWnd\bg1.png") or pairs
// such as "file='res\mainWnd\installPrg1.png' corner='2,2,2,2' mask='#FF0000' fade='255'".
struct ImageDescription {
    // The whole text unless "file", "res" or "color" named the image.
    std::wstring name;
    // Empty for archive entries and files; "restype" for "res"; "*COLOR*" for a one-pixel colour
    // whose value is the name.
    std::wstring resourceType;
    Platform::Rect dest;   // offsets inside the control's rectangle; all zeros: the whole rectangle
    Platform::Rect source; // part of the image; all zeros: the whole image
    Platform::Rect corner; // widths of the borders kept unscaled
    std::uint32_t mask = 0;
    int fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
    bool hsl = false;

    bool operator==(const ImageDescription&) const = default;
};

// Pairs are key='value', separated by one blank (more white space may follow it). Keys are compared
// exactly, unknown keys and empty values are ignored, and the first malformed pair ends the reading
// silently, keeping the pairs before it; so does anything but a blank after a closing quote.
ImageDescription ParseImageDescription(std::wstring_view text);

} // namespace UiLib
