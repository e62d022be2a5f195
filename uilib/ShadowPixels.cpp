#include "uilib/ShadowPixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace UiLib {

namespace {

// Opacity `alpha` in the top byte and the colour premultiplied by it below, each channel rounded down.
std::uint32_t ShadowPixel(std::uint32_t colour, int alpha) {
    const std::uint32_t a = static_cast<std::uint32_t>(alpha);
    const std::uint32_t red = colour & 0xFF;
    const std::uint32_t green = (colour >> 8) & 0xFF;
    const std::uint32_t blue = (colour >> 16) & 0xFF;
    return a << 24 | (red * a / 255) << 16 | (green * a / 255) << 8 | (blue * a / 255);
}

// The pixels one edge pixel spreads around itself, (2 × reach + 1) squared, centre in the middle.
// Inside `core` the shadow is fully dark; from there it fades over sharpness + 1 pixels.
class Kernel {
public:
    Kernel(int reach, int core, int sharpness, int darkness, std::uint32_t colour)
        : m_Reach(reach), m_Side(2 * reach + 1), m_Cells(static_cast<size_t>(m_Side) * m_Side) {
        for (int i = -reach; i <= reach; ++i) {
            for (int j = -reach; j <= reach; ++j) {
                const double r = std::sqrt(static_cast<double>(i * i + j * j));
                int alpha = 0;
                if (r < core)
                    alpha = darkness;
                else if (r <= reach)
                    alpha = static_cast<int>((1.0 - (r - core) / (sharpness + 1)) * darkness);
                m_Cells[static_cast<size_t>(i + reach) * m_Side + (j + reach)] = ShadowPixel(colour, alpha);
            }
        }
    }

    // Centres the kernel on (x, y); each pixel keeps the darker of its value and the kernel's. The
    // alpha sits in the top byte, so the larger word as an unsigned number is the darker pixel.
    void stamp(ShadowBitmap& bitmap, int x, int y) const {
        const int top = std::max(y - m_Reach, 0);
        const int bottom = std::min(y + m_Reach + 1, bitmap.height);
        const int left = std::max(x - m_Reach, 0);
        const int right = std::min(x + m_Reach + 1, bitmap.width);
        for (int row = top; row < bottom; ++row) {
            const std::uint32_t* cell = &m_Cells[static_cast<size_t>(row - y + m_Reach) * m_Side];
            std::uint32_t* pixel = &bitmap.pixels[static_cast<size_t>(row) * bitmap.width];
            for (int column = left; column < right; ++column)
                pixel[column] = std::max(pixel[column], cell[column - x + m_Reach]);
        }
    }

private:
    int m_Reach;
    int m_Side;
    std::vector<std::uint32_t> m_Cells;
};

void FillRow(ShadowBitmap& bitmap, int y, int from, int to, std::uint32_t value) {
    from = std::max(from, 0);
    to = std::min(to, bitmap.width);
    if (from < to) {
        std::uint32_t* row = &bitmap.pixels[static_cast<size_t>(y) * bitmap.width];
        std::fill(row + from, row + to, value);
    }
}

} // namespace

std::vector<RowSpan> RegionRowSpans(Platform::Size size, const std::function<bool(Platform::Point)>& covers) {
    std::vector<RowSpan> rows(static_cast<size_t>(std::max(size.height, 0)), RowSpan{size.width, 0});
    for (int y = 0; y < size.height; ++y) {
        int first = 0;
        while (first < size.width && !covers({first, y}))
            ++first;
        if (first == size.width)
            continue;
        int last = size.width - 1;
        while (last > first && !covers({last, y}))
            --last;
        rows[static_cast<size_t>(y)] = {first, last + 1};
    }
    return rows;
}

std::vector<RowSpan> RegionRowSpans(Platform::Size size,
                                    const std::optional<Platform::WindowRegion>& region) {
    if (!region)
        return std::vector<RowSpan>(static_cast<size_t>(std::max(size.height, 0)), RowSpan{size.width, 0});
    return RegionRowSpans(size, [&](Platform::Point point) { return region->contains(point); });
}

ShadowBitmap ComputeShadow(std::span<const RowSpan> ownerRows, Platform::Size owner,
                           const ShadowParams& params) {
    const int width = owner.width;
    const int height = owner.height;
    const int size = params.size;
    const int sharpness = std::max(params.sharpness, 0);
    const int darkness = std::clamp(params.darkness, 0, 255);
    const int shadowWidth = width + 2 * size;
    const int shadowHeight = height + 2 * size;

    ShadowBitmap bitmap;
    if (shadowWidth <= 0 || shadowHeight <= 0)
        return bitmap;
    bitmap.width = shadowWidth;
    bitmap.height = shadowHeight;
    bitmap.pixels.assign(static_cast<size_t>(shadowWidth) * shadowHeight, 0);

    const RowSpan empty{width, 0};
    auto ownerRow = [&](int y) {
        return y >= 0 && static_cast<size_t>(y) < ownerRows.size() ? ownerRows[static_cast<size_t>(y)]
                                                                   : empty;
    };

    // Spans by shadow row, framed by an empty guard row at each end. A negative size cuts owner rows
    // off the shadow; they stay in the table as neighbours for the erosion and the edges.
    const int firstRow = std::min(0, size);
    const int tableRows = std::max(height, shadowHeight);
    std::vector<RowSpan> table(static_cast<size_t>(tableRows) + 2, empty);
    auto row = [&](int y) -> RowSpan& { return table[static_cast<size_t>(y - firstRow + 1)]; };
    for (int y = firstRow; y < firstRow + tableRows; ++y) {
        if (y - size >= 0 && y - size < height) {
            const RowSpan span = ownerRow(y - size);
            row(y) = {span.start + size, span.end + size};
        }
    }

    // A soft edge wider than the shadow's reach would spill out of the bitmap: the outline shrinks
    // by one pixel on every side per pass until the fade fits.
    for (int pass = size; pass < sharpness; ++pass) {
        const std::vector<RowSpan> previous = table;
        for (size_t i = 1; i + 1 < table.size(); ++i) {
            table[i].start = std::max({previous[i - 1].start, previous[i].start, previous[i + 1].start}) + 1;
            table[i].end = std::min({previous[i - 1].end, previous[i].end, previous[i + 1].end}) - 1;
        }
    }

    const int reach = std::max(size, sharpness);
    const int core = size > sharpness ? size - sharpness : 0;
    const Kernel kernel(reach, core, sharpness, darkness, params.colour);

    // Only the outline's pixels spread the fade; the pixels inside it are filled below.
    for (int y = reach; y < shadowHeight - reach; ++y) {
        const RowSpan span = row(y);
        if (span.start >= span.end)
            continue;
        const RowSpan above = row(y - 1);
        const RowSpan below = row(y + 1);
        const int leftEnd = std::min(span.end, std::max(above.start, below.start) + 1);
        const int rightStart = std::max(leftEnd, std::min(above.end, below.end) - 1);
        // Pixels further out than the kernel's reach would touch nothing.
        for (int x = std::max(span.start, -reach); x < std::min(leftEnd, shadowWidth + reach); ++x)
            kernel.stamp(bitmap, x, y);
        for (int x = std::max(rightStart, -reach); x < std::min(span.end, shadowWidth + reach); ++x)
            kernel.stamp(bitmap, x, y);
    }

    // The inside is fully dark except where the owner covers it: the owner may be translucent, and
    // the shadow must not show through it.
    const std::uint32_t full = ShadowPixel(params.colour, darkness);
    const int xOffset = params.xOffset;
    const int yOffset = params.yOffset;
    const int firstInner = std::min(std::max(0, size - yOffset), reach);
    const int innerEnd = std::max(shadowHeight - reach, std::min(height + size - yOffset, shadowHeight));
    for (int y = firstInner; y < innerEnd; ++y) {
        const RowSpan span = row(y);
        const int ownerY = y + yOffset - size;
        if (ownerY >= 0 && ownerY < height) {
            const int holeLeft = ownerRow(ownerY).start - xOffset + size;
            const int holeRight = ownerRow(ownerY).end - xOffset + size;
            FillRow(bitmap, y, span.start, std::min(holeLeft, span.end), full);
            FillRow(bitmap, y, holeLeft, holeRight, 0);
            FillRow(bitmap, y, std::max(span.start, holeRight), span.end, full);
        } else {
            FillRow(bitmap, y, span.start, span.end, full);
        }
    }
    return bitmap;
}

ShadowBitmap ComputeShadow(const std::optional<Platform::WindowRegion>& region, Platform::Size owner,
                           const ShadowParams& params) {
    const std::vector<RowSpan> rows = RegionRowSpans(owner, region);
    return ComputeShadow(rows, owner, params);
}

ShadowBitmap DrawShadowImage(const Platform::ImageView& image, Platform::Size owner,
                             const Platform::Rect& corner, const Platform::Rect& holeOffset) {
    ShadowBitmap bitmap;
    const int width = owner.width + corner.left + corner.right;
    const int height = owner.height + corner.top + corner.bottom;
    if (width <= 0 || height <= 0)
        return bitmap;

    Platform::Surface surface(width, height);
    {
        Platform::Canvas canvas(surface);
        Platform::ImagePlacement placement;
        placement.corners = {corner.left + holeOffset.left, corner.top + holeOffset.top,
                             corner.right + holeOffset.right, corner.bottom + holeOffset.bottom};
        placement.hole = true;
        canvas.drawImage(image, {0, 0, width, height}, placement);
    }
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixels.resize(static_cast<size_t>(width) * height);
    const std::uint8_t* data = surface.data();
    for (int y = 0; y < height; ++y)
        std::memcpy(&bitmap.pixels[static_cast<size_t>(y) * width],
                    data + static_cast<size_t>(y) * surface.stride(), static_cast<size_t>(width) * 4);
    return bitmap;
}

} // namespace UiLib
