#include "tools/artwork/Shading.h"

#include <algorithm>
#include <cmath>

namespace Artwork {

Colour Hex(std::uint32_t rgb, double alpha) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Colour Mix(const Colour& a, const Colour& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t, a.blue + (b.blue - a.blue) * t,
            a.alpha + (b.alpha - a.alpha) * t};
}

Colour WithAlpha(Colour colour, double alpha) {
    colour.alpha *= std::clamp(alpha, 0.0, 1.0);
    return colour;
}

Colour Over(const Colour& top, const Colour& bottom) {
    const double alpha = top.alpha + bottom.alpha * (1 - top.alpha);
    if (alpha <= 0)
        return {};
    auto channel = [&](double t, double b) {
        return (t * top.alpha + b * bottom.alpha * (1 - top.alpha)) / alpha;
    };
    return {channel(top.red, bottom.red), channel(top.green, bottom.green), channel(top.blue, bottom.blue),
            alpha};
}

Colour Layer(const Colour& bottom, const Colour& colour, double coverage) {
    return Over(WithAlpha(colour, coverage), bottom);
}

double Coverage(double distance) {
    return std::clamp(0.5 - distance, 0.0, 1.0);
}

double RoundedBoxDistance(double x, double y, double left, double top, double right, double bottom,
                          double radius) {
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double qx = std::abs(x - cx) - ((right - left) / 2 - radius);
    const double qy = std::abs(y - cy) - ((bottom - top) / 2 - radius);
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

double CircleDistance(double x, double y, double cx, double cy, double radius) {
    return std::hypot(x - cx, y - cy) - radius;
}

double SegmentDistance(double x, double y, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double t = std::clamp(((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - (x1 + t * dx), y - (y1 + t * dy));
}

} // namespace Artwork
