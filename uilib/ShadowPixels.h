#pragma once

#include "platform/Canvas.h"
#include "platform/window/DisplayBackend.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// The pixels of a window's drop shadow: computed from the owner's outline, or a nine-slice picture
// laid around the owner. Pure functions, so the shadow looks the same on every display.
namespace UiLib {

// How a computed shadow looks. The ranges are the setters' (CWindowShadow); the computation takes a
// negative sharpness as 0 and darkness within 0-255, and never writes outside its bitmap whatever
// the size and offsets.
struct ShadowParams {
    int size = 0;       // how far the shadow reaches beyond the owner on every side
    int sharpness = 5;  // width of the soft edge
    int darkness = 150; // opacity of the fully dark part
    // Shift of the shadow against the owner.
    int xOffset = 5;
    int yOffset = 5;
    std::uint32_t colour = 0; // red in the low byte, then green, then blue; the top byte is ignored

    bool operator==(const ShadowParams&) const = default;
};

// The part of one row covered by the owner's region, columns [start, end). A row without region
// pixels is {width, 0}: empty, and ordered so that the edge and erosion steps need no special case.
struct RowSpan {
    int start = 0;
    int end = 0;
    bool operator==(const RowSpan&) const = default;
};

// Premultiplied 0xAARRGGBB pixels, top row first.
struct ShadowBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool empty() const { return pixels.empty(); }
    // 0 outside the bitmap.
    std::uint32_t at(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0 : pixels[static_cast<size_t>(y) * width + x];
    }
    Platform::ImageView view() const { return {pixels.data(), width, height}; }
};

// The first and last covered column of every row of a `size` owner: a row is scanned from the left
// for its first pixel and from the right down to that pixel for its last.
std::vector<RowSpan> RegionRowSpans(Platform::Size size, const std::function<bool(Platform::Point)>& covers);
// No region: every row empty, so the shadow comes out fully transparent.
std::vector<RowSpan> RegionRowSpans(Platform::Size size, const std::optional<Platform::WindowRegion>& region);

// The shadow of an owner of `owner` size whose rows are `ownerRows` (missing rows count as empty):
// (width + 2 × size) × (height + 2 × size) pixels, empty when either would not be positive. The part
// the owner itself covers is left transparent.
ShadowBitmap ComputeShadow(std::span<const RowSpan> ownerRows, Platform::Size owner,
                           const ShadowParams& params);
ShadowBitmap ComputeShadow(const std::optional<Platform::WindowRegion>& region, Platform::Size owner,
                           const ShadowParams& params);

// `image` laid as a nine-slice picture over (owner + `corner` on each side), its corners `corner` +
// `holeOffset` per side, with its own alpha and the middle left out. Empty when the size would not
// be positive.
ShadowBitmap DrawShadowImage(const Platform::ImageView& image, Platform::Size owner,
                             const Platform::Rect& corner, const Platform::Rect& holeOffset);

} // namespace UiLib
