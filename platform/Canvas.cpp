#include "platform/Canvas.h"

#include "platform/TextCodec.h"

#include <algorithm>
#include <cairo.h>
#include <cstring>
#include <pango/pangocairo.h>

// fontconfig keeps its configuration and font lists until the process ends; under LeakSanitizer that
// cache would fail every program that draws text. Without the sanitizer nothing calls this.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace Platform {

namespace {

// Faces tried after the requested one, so that Chinese text finds glyphs whatever the layout names.
constexpr const char* kFallbackFaces = "WenQuanYi Micro Hei,Noto Sans CJK SC,sans-serif";

struct SurfaceRef {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using SurfaceHandle = std::unique_ptr<cairo_surface_t, SurfaceRef>;

struct ContextRef {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using ContextHandle = std::unique_ptr<cairo_t, ContextRef>;

struct ObjectRef {
    void operator()(void* object) const { g_object_unref(object); }
};
using LayoutHandle = std::unique_ptr<PangoLayout, ObjectRef>;

struct PatternRef {
    void operator()(cairo_pattern_t* pattern) const { cairo_pattern_destroy(pattern); }
};
using PatternHandle = std::unique_ptr<cairo_pattern_t, PatternRef>;

void SetColour(cairo_t* cr, std::uint32_t argb, bool withAlpha) {
    const double red = ((argb >> 16) & 0xFF) / 255.0;
    const double green = ((argb >> 8) & 0xFF) / 255.0;
    const double blue = (argb & 0xFF) / 255.0;
    if (withAlpha)
        cairo_set_source_rgba(cr, red, green, blue, (argb >> 24) / 255.0);
    else
        cairo_set_source_rgb(cr, red, green, blue);
}

void AddRect(cairo_t* cr, const Rect& rect) {
    cairo_rectangle(cr, rect.left, rect.top, rect.width(), rect.height());
}

// The rounded rectangle of a window region: quarter ellipses of the given ellipse size at the corners.
void AddRoundedRect(cairo_t* cr, double x, double y, double width, double height, double ellipseWidth,
                    double ellipseHeight) {
    const double rx = std::min(ellipseWidth / 2, width / 2);
    const double ry = std::min(ellipseHeight / 2, height / 2);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(cr, x, y, width, height);
        return;
    }
    struct Corner {
        double cx, cy, from;
    };
    const Corner corners[] = {{x + width - rx, y + ry, -G_PI / 2},
                              {x + width - rx, y + height - ry, 0},
                              {x + rx, y + height - ry, G_PI / 2},
                              {x + rx, y + ry, G_PI}};
    cairo_new_sub_path(cr);
    for (const Corner& corner : corners) {
        cairo_save(cr);
        cairo_translate(cr, corner.cx, corner.cy);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, corner.from, corner.from + G_PI / 2);
        cairo_restore(cr);
    }
    cairo_close_path(cr);
}

// Copies `source` of the image into `destination`, stretched by nearest pixel, or repeated at its own
// size along an axis that is tiled.
void DrawPart(cairo_t* cr, cairo_surface_t* image, const Rect& source, const Rect& destination, bool xTiled,
              bool yTiled, int fade) {
    if (source.isEmpty() || destination.isEmpty())
        return;
    const int stepX = xTiled ? source.width() : destination.width();
    const int stepY = yTiled ? source.height() : destination.height();
    PatternHandle pattern(cairo_pattern_create_for_surface(image));
    cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_NEAREST);
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    for (int top = destination.top; top < destination.bottom; top += stepY) {
        for (int left = destination.left; left < destination.right; left += stepX) {
            const Rect tile{left, top, left + stepX, top + stepY};
            const Rect visible = Intersect(tile, destination);
            // User space to image space: the tile maps onto the source part.
            const double scaleX = static_cast<double>(source.width()) / stepX;
            const double scaleY = static_cast<double>(source.height()) / stepY;
            cairo_matrix_t matrix;
            cairo_matrix_init(&matrix, scaleX, 0, 0, scaleY, source.left - tile.left * scaleX,
                              source.top - tile.top * scaleY);
            cairo_pattern_set_matrix(pattern.get(), &matrix);
            cairo_save(cr);
            AddRect(cr, visible);
            cairo_clip(cr);
            cairo_set_source(cr, pattern.get());
            if (fade >= 255)
                cairo_paint(cr);
            else
                cairo_paint_with_alpha(cr, fade / 255.0);
            cairo_restore(cr);
        }
    }
}

std::string FamilyList(const std::wstring& face) {
    if (face.empty())
        return kFallbackFaces;
    return ToUtf8(face) + "," + kFallbackFaces;
}

// Lays out `text` the way drawText places it; a box width above 0 limits wrapping and the ellipsis, a
// box height above 0 the number of wrapped lines before the ellipsis.
void SetUpLayout(PangoLayout* layout, const std::wstring& text, const Font& font, unsigned style,
                 int boxWidth, int boxHeight) {
    const std::string utf8 = ToUtf8(text);
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));

    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, FamilyList(font.face).c_str());
    pango_font_description_set_absolute_size(description, std::max(font.pixelSize, 1) * PANGO_SCALE);
    pango_font_description_set_weight(description, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);

    PangoAttrList* attributes = pango_attr_list_new();
    if (font.underline)
        pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);

    const bool singleLine = (style & TextStyle::kSingleLine) != 0;
    const bool wrap = !singleLine && (style & TextStyle::kWordBreak) != 0;
    const bool ellipsis = (style & TextStyle::kEndEllipsis) != 0;
    pango_layout_set_single_paragraph_mode(layout, singleLine);
    if (boxWidth > 0 && (wrap || ellipsis)) {
        pango_layout_set_width(layout, boxWidth * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        if (ellipsis && !wrap) {
            pango_layout_set_height(layout, -1); // each line ellipsized on its own
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        } else if (ellipsis && boxHeight > 0) {
            pango_layout_set_height(layout, boxHeight * PANGO_SCALE); // the last line that fits ends in "..."
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        }
    }
    if (style & TextStyle::kCenter)
        pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    else if (style & TextStyle::kRight)
        pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
    else
        pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
}

// Measuring needs no surface of the caller's; this one has the same font options as every image surface,
// so measured and drawn text agree.
cairo_t* MeasuringContext() {
    struct Scratch {
        SurfaceHandle surface{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)};
        ContextHandle context{cairo_create(surface.get())};
    };
    thread_local Scratch scratch;
    return scratch.context.get();
}

} // namespace

struct Surface::Impl {
    SurfaceHandle surface;
};

Surface::Surface(int width, int height) : m_Impl(std::make_unique<Impl>()) {
    m_Impl->surface.reset(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 0), std::max(height, 0)));
}

Surface::~Surface() = default;

int Surface::width() const {
    return cairo_image_surface_get_width(m_Impl->surface.get());
}
int Surface::height() const {
    return cairo_image_surface_get_height(m_Impl->surface.get());
}
int Surface::stride() const {
    return cairo_image_surface_get_stride(m_Impl->surface.get());
}

std::uint8_t* Surface::data() {
    cairo_surface_flush(m_Impl->surface.get());
    return cairo_image_surface_get_data(m_Impl->surface.get());
}

const std::uint8_t* Surface::data() const {
    cairo_surface_flush(m_Impl->surface.get());
    return cairo_image_surface_get_data(m_Impl->surface.get());
}

void Surface::markDirty() {
    cairo_surface_mark_dirty(m_Impl->surface.get());
}

std::uint32_t Surface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return 0;
    std::uint32_t value;
    std::memcpy(&value, data() + static_cast<std::size_t>(y) * stride() + x * 4, sizeof value);
    return value;
}

ImageView Surface::view() const {
    return {reinterpret_cast<const std::uint32_t*>(data()), width(), height()};
}

bool Surface::writePng(const std::string& path) const {
    return cairo_surface_write_to_png(m_Impl->surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

struct Canvas::Impl {
    ContextHandle context;
};

Canvas::Canvas(Surface& surface) : m_Impl(std::make_unique<Impl>()) {
    m_Impl->context.reset(cairo_create(surface.m_Impl->surface.get()));
}

Canvas::~Canvas() = default;

void Canvas::save() {
    cairo_save(m_Impl->context.get());
}
void Canvas::restore() {
    cairo_restore(m_Impl->context.get());
}

void Canvas::clipRect(const Rect& rect) {
    cairo_t* cr = m_Impl->context.get();
    AddRect(cr, rect);
    cairo_clip(cr);
}

void Canvas::clipRoundedRect(const Rect& rect, int ellipseWidth, int ellipseHeight) {
    cairo_t* cr = m_Impl->context.get();
    AddRoundedRect(cr, rect.left, rect.top, rect.width(), rect.height(), ellipseWidth, ellipseHeight);
    cairo_clip(cr);
}

void Canvas::fillRect(const Rect& rect, std::uint32_t argb) {
    if ((argb >> 24) == 0 || rect.isEmpty())
        return;
    cairo_t* cr = m_Impl->context.get();
    SetColour(cr, argb, true);
    AddRect(cr, rect);
    cairo_fill(cr);
}

void Canvas::clearRect(const Rect& rect) {
    if (rect.isEmpty())
        return;
    cairo_t* cr = m_Impl->context.get();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    AddRect(cr, rect);
    cairo_fill(cr);
    cairo_restore(cr);
}

void Canvas::drawImage(const ImageView& image, const Rect& destination, const ImagePlacement& placement) {
    if (!image.pixels || image.width <= 0 || image.height <= 0 || destination.isEmpty() ||
        placement.fade <= 0)
        return;
    Rect source = placement.source;
    if (source == Rect{})
        source = {0, 0, image.width, image.height};
    source = Intersect(source, {0, 0, image.width, image.height});
    if (source.isEmpty())
        return;

    // The pixels are only read: cairo takes a non-const pointer for surfaces it may also draw on.
    SurfaceHandle wrapped(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(image.pixels)), CAIRO_FORMAT_ARGB32,
        image.width, image.height, image.width * 4));
    if (cairo_surface_status(wrapped.get()) != CAIRO_STATUS_SUCCESS)
        return;

    const Rect& c = placement.corners;
    const int sourceX[] = {source.left, source.left + c.left, source.right - c.right, source.right};
    const int sourceY[] = {source.top, source.top + c.top, source.bottom - c.bottom, source.bottom};
    const int destX[] = {destination.left, destination.left + c.left, destination.right - c.right,
                         destination.right};
    const int destY[] = {destination.top, destination.top + c.top, destination.bottom - c.bottom,
                         destination.bottom};
    cairo_t* cr = m_Impl->context.get();
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const bool middle = row == 1 && column == 1;
            if (middle && placement.hole)
                continue;
            DrawPart(cr, wrapped.get(),
                     {sourceX[column], sourceY[row], sourceX[column + 1], sourceY[row + 1]},
                     {destX[column], destY[row], destX[column + 1], destY[row + 1]},
                     middle && placement.xTiled, middle && placement.yTiled, std::min(placement.fade, 255));
        }
    }
}

void Canvas::drawBorder(const Rect& rect, int width, std::uint32_t argb, int ellipseWidth,
                        int ellipseHeight) {
    if (width <= 0 || (argb >> 24) == 0 || rect.isEmpty())
        return;
    cairo_t* cr = m_Impl->context.get();
    cairo_save(cr);
    SetColour(cr, argb, true);
    if (ellipseWidth > 0 && ellipseHeight > 0) {
        // The pen runs along the middle of the frame, so the outer edge stays on `rect`.
        const double half = width / 2.0;
        AddRoundedRect(cr, rect.left + half, rect.top + half, rect.width() - width, rect.height() - width,
                       std::max(ellipseWidth - width, 0), std::max(ellipseHeight - width, 0));
        cairo_set_line_width(cr, width);
        cairo_stroke(cr);
    } else {
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        AddRect(cr, rect);
        AddRect(cr, {rect.left + width, rect.top + width, rect.right - width, rect.bottom - width});
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void Canvas::drawText(const std::wstring& text, const Rect& rect, const Font& font, std::uint32_t argb,
                      unsigned style) {
    if (text.empty() || rect.isEmpty())
        return;
    cairo_t* cr = m_Impl->context.get();
    LayoutHandle layout(pango_cairo_create_layout(cr));
    SetUpLayout(layout.get(), text, font, style, rect.width(), rect.height());
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);

    // With a layout width pango aligns each line itself; otherwise the block is placed here.
    int x = rect.left;
    if (pango_layout_get_width(layout.get()) < 0) {
        x -= logical.x;
        if (style & TextStyle::kCenter)
            x += (rect.width() - logical.width) / 2;
        else if (style & TextStyle::kRight)
            x += rect.width() - logical.width;
    }
    int y = rect.top - logical.y;
    if (style & TextStyle::kBottom)
        y += rect.height() - logical.height;
    else if (style & TextStyle::kVCenter)
        y += (rect.height() - logical.height) / 2;

    cairo_save(cr);
    AddRect(cr, rect);
    cairo_clip(cr);
    SetColour(cr, argb, false);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout.get());
    cairo_restore(cr);
}

void PrepareText() {
    // Making the thread's font map starts loading the font configuration on a thread of its own.
    pango_cairo_font_map_get_default();
}

Size MeasureText(const std::wstring& text, const Font& font, unsigned style, int maxWidth) {
    if (text.empty())
        return {};
    LayoutHandle layout(pango_cairo_create_layout(MeasuringContext()));
    SetUpLayout(layout.get(), text, font, style, maxWidth, 0);
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
    return {logical.width, logical.height};
}

} // namespace Platform
