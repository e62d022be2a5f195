#pragma once

#include "platform/Canvas.h"
#include "uilib/ImageDescription.h"
#include "uilib/ImageEntry.h"

#include <optional>
#include <string>

namespace UiLib {

class CWindowManagerUI;

// An image attribute as a control keeps it: the text as written and its parsed form, made once on
// first use. The picture itself is asked of the window's cache at each draw, so a picture replaced
// in the cache is never drawn from freed memory.
class ImageDrawSpec {
public:
    ImageDrawSpec() = default;
    explicit ImageDrawSpec(std::wstring text) : m_Text(std::move(text)) {}

    const std::wstring& text() const { return m_Text; }
    bool empty() const { return m_Text.empty(); }
    // A new text starts over: parsed again on the next draw.
    void setText(const std::wstring& text);

    // The parsed form (parsing now if not yet done).
    const ImageDescription& description();
    // The picture through the manager's cache; null when it cannot be had.
    const ImageEntry* image(CWindowManagerUI& manager);

private:
    std::wstring m_Text;
    std::optional<ImageDescription> m_Parsed;
};

// Draws the image into `item` (its "dest" offsets taken inside it), limited to `paint`. False when
// the picture cannot be had: nothing is drawn then.
bool DrawImage(Platform::Canvas& canvas, CWindowManagerUI& manager, const Platform::Rect& item,
               const Platform::Rect& paint, ImageDrawSpec& drawn);

// Alpha 0 draws nothing, 255 fills, anything between blends.
void DrawColor(Platform::Canvas& canvas, const Platform::Rect& rect, std::uint32_t argb);

} // namespace UiLib
