#pragma once

#include <cstdint>

// What the programs that draw pictures (the skin's artwork, the benchmark's skin) shade pixels with:
// straight-alpha colours, compositing, and signed distances to shapes for anti-aliased edges.
namespace Artwork {

struct Colour {
    double red = 0, green = 0, blue = 0, alpha = 0; // 0 to 1, not premultiplied
};

// 0xRRGGBB with an opacity.
Colour Hex(std::uint32_t rgb, double alpha = 1);
Colour Mix(const Colour& a, const Colour& b, double t);
Colour WithAlpha(Colour colour, double alpha);
// `top` drawn over `bottom` (straight alpha).
Colour Over(const Colour& top, const Colour& bottom);
// `colour` laid over `bottom` where a shape covers the pixel by `coverage`.
Colour Layer(const Colour& bottom, const Colour& colour, double coverage);

// Coverage of a shape at signed distance `distance` (negative inside): one pixel of anti-aliasing.
double Coverage(double distance);
double RoundedBoxDistance(double x, double y, double left, double top, double right, double bottom,
                          double radius);
double CircleDistance(double x, double y, double cx, double cy, double radius);
double SegmentDistance(double x, double y, double x1, double y1, double x2, double y2);

} // namespace Artwork
