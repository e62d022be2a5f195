#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace UiLib {

// One decoded picture. Pixels are top-down rows of 32-bit words 0xAARRGGBB with premultiplied
// colour: in memory the bytes of a premultiplied BGRA bitmap, which is also what a cairo ARGB32
// surface of stride width * 4 reads.
struct ImageEntry {
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    // Some pixel is not fully opaque, or the mask made it transparent: it must be blended, not copied.
    bool hasAlpha = false;
    // Takes part in the window's hue/saturation/luminance adjustment, which needs the pixels as decoded.
    bool useHsl = false;
    std::vector<uint32_t> sourcePixels; // only when useHsl
    std::wstring resourceType;          // as loaded, or empty
    uint32_t mask = 0;                  // as loaded
};

} // namespace UiLib
