#include "uilib/ImageDrawing.h"

#include "uilib/WindowManagerUI.h"

#include <algorithm>

namespace UiLib {

void ImageDrawSpec::setText(const std::wstring& text) {
    m_Text = text;
    m_Parsed.reset();
}

const ImageDescription& ImageDrawSpec::description() {
    if (!m_Parsed)
        m_Parsed = ParseImageDescription(m_Text);
    return *m_Parsed;
}

const ImageEntry* ImageDrawSpec::image(CWindowManagerUI& manager) {
    const ImageDescription& parsed = description();
    if (parsed.name.empty())
        return nullptr;
    return manager.Images().GetImage(parsed.name, parsed.resourceType, parsed.mask, parsed.hsl);
}

bool DrawImage(Platform::Canvas& canvas, CWindowManagerUI& manager, const Platform::Rect& item,
               const Platform::Rect& paint, ImageDrawSpec& drawn) {
    const ImageEntry* image = drawn.image(manager);
    if (!image)
        return false;
    const ImageDescription& parsed = drawn.description();

    Platform::Rect destination = item;
    const Platform::Rect& dest = parsed.dest;
    if (dest.left != 0 || dest.top != 0 || dest.right != 0 || dest.bottom != 0) {
        destination = {item.left + dest.left, item.top + dest.top,
                       std::min(item.left + dest.right, item.right),
                       std::min(item.top + dest.bottom, item.bottom)};
    }
    const Platform::Rect visible = Platform::Intersect(Platform::Intersect(destination, item), paint);
    if (visible.isEmpty())
        return true;

    Platform::ImagePlacement placement;
    placement.source = parsed.source;
    placement.corners = parsed.corner;
    placement.hole = parsed.hole;
    placement.xTiled = parsed.xTiled;
    placement.yTiled = parsed.yTiled;
    placement.fade = std::clamp(parsed.fade, 0, 255);
    canvas.save();
    canvas.clipRect(paint);
    canvas.drawImage({image->pixels.data(), image->width, image->height}, destination, placement);
    canvas.restore();
    return true;
}

void DrawColor(Platform::Canvas& canvas, const Platform::Rect& rect, std::uint32_t argb) {
    canvas.fillRect(rect, argb);
}

} // namespace UiLib
