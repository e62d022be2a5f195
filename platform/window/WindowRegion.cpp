#include "platform/window/DisplayBackend.h"

#include <algorithm>

namespace Platform {

// The same outline as Canvas::clipRoundedRect: quarter ellipses of half the ellipse size at the
// corners, tested at the pixel's centre.
bool WindowRegion::contains(Point point) const {
    if (point.x < 0 || point.y < 0 || point.x >= size.width || point.y >= size.height)
        return false;
    const double rx = std::min(ellipseWidth / 2.0, size.width / 2.0);
    const double ry = std::min(ellipseHeight / 2.0, size.height / 2.0);
    if (rx <= 0 || ry <= 0)
        return true;
    const double x = point.x + 0.5;
    const double y = point.y + 0.5;
    const double cx = x < rx ? rx : (x > size.width - rx ? size.width - rx : x);
    const double cy = y < ry ? ry : (y > size.height - ry ? size.height - ry : y);
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

} // namespace Platform
