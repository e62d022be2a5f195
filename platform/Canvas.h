#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>

// Drawing for the UI framework: pixel surfaces, image and colour drawing, text. Colours are 32-bit
// 0xAARRGGBB values (alpha in the top byte, not premultiplied), as the layouts write them. Pixels are
// premultiplied 0xAARRGGBB words in native byte order, which on little-endian machines is the byte
// layout of a 32-bit premultiplied BGRA device-independent bitmap.
namespace Platform {

// Read-only premultiplied pixels, `width` words per row, top row first.
struct ImageView {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// An ARGB32 premultiplied pixel buffer, cleared to transparent.
class Surface {
public:
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int width() const;
    int height() const;
    // Bytes per row (always width × 4).
    int stride() const;

    // The pixels, with every drawing finished. Call markDirty() after writing to them directly.
    std::uint8_t* data();
    const std::uint8_t* data() const;
    void markDirty();

    // Premultiplied 0xAARRGGBB; 0 outside the surface.
    std::uint32_t pixel(int x, int y) const;
    ImageView view() const;

    // Writes a PNG file (for snapshots); false when the file cannot be written.
    bool writePng(const std::string& path) const;

private:
    friend class Canvas;
    struct Impl;
    std::unique_ptr<Impl> m_Impl;
};

struct Font {
    std::wstring face;
    int pixelSize = 12; // character height (em) in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// Text style flags. The values are those of the Windows DrawText flags, so that styles stored by the
// framework keep their meaning on both systems. Left and top are the absence of the other flags.
namespace TextStyle {
constexpr unsigned kLeft = 0x0;
constexpr unsigned kCenter = 0x1;
constexpr unsigned kRight = 0x2;
constexpr unsigned kTop = 0x0;
constexpr unsigned kVCenter = 0x4;
constexpr unsigned kBottom = 0x8;
constexpr unsigned kWordBreak = 0x10;
constexpr unsigned kSingleLine = 0x20;
constexpr unsigned kNoPrefix = 0x800; // accepted and ignored: "&" is never a mnemonic here
constexpr unsigned kEndEllipsis = 0x8000;
} // namespace TextStyle

// How an image is laid into its destination.
struct ImagePlacement {
    Rect source;         // part of the image; all zeros means the whole image; clipped to the image
    Rect corners;        // widths (left, top, right, bottom) kept unscaled at the edges
    bool hole = false;   // leave the middle part out
    bool xTiled = false; // repeat the middle horizontally instead of stretching it
    bool yTiled = false; // repeat the middle vertically instead of stretching it
    int fade = 255;      // constant opacity 0-255, applied on top of the pixels' own alpha
};

// Draws on a surface. Every primitive composites with premultiplied OVER and honours the clip.
class Canvas {
public:
    explicit Canvas(Surface& surface);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The clip narrows until the matching restore().
    void save();
    void restore();
    void clipRect(const Rect& rect);
    // Rounded like a window region: the corners are quarter ellipses of ellipseWidth × ellipseHeight.
    void clipRoundedRect(const Rect& rect, int ellipseWidth, int ellipseHeight);

    // Makes the pixels transparent again (within the clip).
    void clearRect(const Rect& rect);

    // Alpha 0 draws nothing, 255 covers, anything between blends.
    void fillRect(const Rect& rect, std::uint32_t argb);

    // Nine-slice drawing: the corners are copied unscaled, the edges stretched along their length, the
    // middle stretched, tiled or left out. Stretching takes the nearest pixel, for opaque and
    // translucent images alike, so that edges stay as sharp as the artwork.
    void drawImage(const ImageView& image, const Rect& destination, const ImagePlacement& placement = {});

    // A frame of `width` pixels inside `rect`; with a non-zero ellipse size, rounded as clipRoundedRect.
    void drawBorder(const Rect& rect, int width, std::uint32_t argb, int ellipseWidth = 0,
                    int ellipseHeight = 0);

    // Text inside `rect` (clipped to it) with TextStyle flags. The colour's alpha is ignored: text is
    // always opaque, as the layouts' colours are meant. Vertical alignment applies to wrapped text too.
    void drawText(const std::wstring& text, const Rect& rect, const Font& font, std::uint32_t argb,
                  unsigned style);

private:
    struct Impl;
    std::unique_ptr<Impl> m_Impl;
};

// Starts setting up text drawing for the calling thread (the font configuration loads on a thread of
// its own), so that the first text drawn or measured waits for less of it. Any number of calls.
void PrepareText();

// Size of `text` as drawText would lay it out. `maxWidth` (> 0) limits the width for word wrapping and
// for the end ellipsis; without it the text keeps its natural width.
Size MeasureText(const std::wstring& text, const Font& font, unsigned style = TextStyle::kSingleLine,
                 int maxWidth = 0);

} // namespace Platform
