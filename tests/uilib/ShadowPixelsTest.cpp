#include "uilib/ShadowPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

using namespace UiLib;
using Platform::Point;
using Platform::Size;

namespace {

using Grid = std::vector<std::vector<std::uint32_t>>;

Grid Rows(const ShadowBitmap& bitmap) {
    Grid rows;
    for (int y = 0; y < bitmap.height; ++y) {
        rows.emplace_back();
        for (int x = 0; x < bitmap.width; ++x)
            rows.back().push_back(bitmap.at(x, y));
    }
    return rows;
}

// A black shadow's pixels are its opacities in the top byte and nothing below.
Grid Black(const Grid& alphas) {
    Grid pixels = alphas;
    for (auto& row : pixels)
        for (auto& pixel : row)
            pixel <<= 24;
    return pixels;
}

std::vector<RowSpan> FullRows(Size owner) {
    return std::vector<RowSpan>(static_cast<size_t>(owner.height), RowSpan{0, owner.width});
}

ShadowParams Params(int size, int sharpness, int darkness, int xOffset, int yOffset,
                    std::uint32_t colour = 0) {
    return {size, sharpness, darkness, xOffset, yOffset, colour};
}

} // namespace

TEST(ShadowPixels, RowSpansRunFromTheFirstToTheLastCoveredColumn) {
    // An 8 × 8 circle: rows 0 and 7 are 4 pixels wide, narrower than a shadow size of 6, and the
    // scan from the right still ends on their last pixel.
    const std::vector<RowSpan> circle = RegionRowSpans(Size{8, 8}, Platform::WindowRegion{{8, 8}, 8, 8});
    EXPECT_EQ(circle, (std::vector<RowSpan>{{2, 6}, {1, 7}, {0, 8}, {0, 8}, {0, 8}, {0, 8}, {1, 7}, {2, 6}}));

    // Gaps inside a row do not split it; a single pixel is a row of its own; a row without pixels
    // is {width, 0}.
    const std::vector<RowSpan> gaps = RegionRowSpans(Size{7, 3}, [](Point point) {
        return point.y == 0 ? point.x == 1 || point.x == 5 : point.y == 2 && point.x == 3;
    });
    EXPECT_EQ(gaps, (std::vector<RowSpan>{{1, 6}, {7, 0}, {3, 4}}));

    EXPECT_EQ(RegionRowSpans(Size{5, 2}, std::nullopt), (std::vector<RowSpan>{{5, 0}, {5, 0}}));
}

TEST(ShadowPixels, SmallRectangleWithoutOffsets) {
    // Owner 4 × 3, size 1, sharpness 1, darkness 100: bitmap 6 × 5, no erosion (k = s), K = 1, C = 0.
    // Kernel: r = 0 → (1 - 0/2) × 100 = 100; r = 1 → (1 - 1/2) × 100 = 50; r = √2 > K → 0.
    // Spans: rows 1-3 [1, 5), rows 0 and 4 empty. Edges (rows 1-3): rows 1 and 3 border empty rows,
    // so all of [1, 5) is edge; row 2 has the left edge [1, min(5, 1 + 1)) and the right edge
    // [max(2, 5 - 1), 5). Each edge pixel is 100, its four neighbours at least 50.
    // Interior rows 1-3 (p = y - 1): hole [0 + 1, 4 + 1) = [1, 5) cleared; nothing outside it is filled.
    const ShadowBitmap bitmap = ComputeShadow(FullRows({4, 3}), {4, 3}, Params(1, 1, 100, 0, 0));
    EXPECT_EQ(Rows(bitmap), Black({{0, 50, 50, 50, 50, 0},
                                   {50, 0, 0, 0, 0, 50},
                                   {50, 0, 0, 0, 0, 50},
                                   {50, 0, 0, 0, 0, 50},
                                   {0, 50, 50, 50, 50, 0}}));
}

TEST(ShadowPixels, SharpnessBeyondTheSizeErodesTheOutline) {
    // Owner 5 × 4, size 0, sharpness 1, darkness 100, offset (1, 1): bitmap 5 × 4, one erosion pass.
    // Rows 0 and 3 border the guard rows and become empty; rows 1 and 2 shrink to [1, 4).
    // Edges: rows 1 and 2 border empty rows, so (1..3, 1) and (1..3, 2) are edge pixels; the kernel
    // (100 / 50 / 0 as above) gives 50 around them and nothing on the diagonals.
    // Interior rows 0-2 (p = y + 1): hole [0 - 1, 5 - 1) = columns 0-3 cleared.
    const ShadowBitmap bitmap = ComputeShadow(FullRows({5, 4}), {5, 4}, Params(0, 1, 100, 1, 1));
    EXPECT_EQ(Rows(bitmap), Black({{0, 0, 0, 0, 0}, {0, 0, 0, 0, 50}, {0, 0, 0, 0, 50}, {0, 50, 50, 50, 0}}));
}

TEST(ShadowPixels, NegativeSizeErodesWithTheRowsCutOffTheShadow) {
    // Owner 6 × 5, size -1, sharpness 1, darkness 100, offset (0, 3): bitmap 4 × 3, two erosion
    // passes (k - s = 2) over owner rows 0-4 as shadow rows -1..3, all [-1, 5) after the shift.
    // Pass 1: rows -1 and 3 (next to the guards) empty, rows 0-2 [0, 4). Pass 2: rows 0 and 2 empty,
    // row 1 [1, 3). Without rows -1 and 3 as neighbours row 1 would vanish as well.
    // Edges: (1, 1) and (2, 1) → 100 there, 50 at (0, 1), (3, 1), (1..2, 0) and (1..2, 2).
    // Interior rows 0-1: row 0 is owner row 4, hole [-1, 5) clears it; row 1 is below the owner
    // (p = 5), its span [1, 3) gets the full 100.
    const ShadowBitmap bitmap = ComputeShadow(FullRows({6, 5}), {6, 5}, Params(-1, 1, 100, 0, 3));
    EXPECT_EQ(Rows(bitmap), Black({{0, 0, 0, 0}, {50, 100, 100, 50}, {0, 50, 50, 0}}));
}

TEST(ShadowPixels, InsideOfTheOutlineIsFullyDarkWhereTheOwnerDoesNotCoverIt) {
    // Owner 8 × 8, size 0, sharpness 1, darkness 100, offset (-4, 4): one erosion pass leaves rows
    // 1-6 as [1, 7). Edges: rows 1 and 6 whole, columns 1 and 6 of rows 2-5; the 100 / 50 kernel
    // leaves (3..4, 3..4) untouched. Interior rows 0-6: rows 0-3 are owner rows 4-7, hole
    // [0 + 4, 8 + 4) cleared and [1, min(4, 7)) filled with 100; rows 4-6 are below the owner, their
    // whole span [1, 7) filled. Row 7 keeps only the fade.
    const Grid left = Black({{0, 50, 50, 50, 0, 0, 0, 0},
                             {50, 100, 100, 100, 0, 0, 0, 0},
                             {50, 100, 100, 100, 0, 0, 0, 0},
                             {50, 100, 100, 100, 0, 0, 0, 0},
                             {50, 100, 100, 100, 100, 100, 100, 50},
                             {50, 100, 100, 100, 100, 100, 100, 50},
                             {50, 100, 100, 100, 100, 100, 100, 50},
                             {0, 50, 50, 50, 50, 50, 50, 0}});
    EXPECT_EQ(Rows(ComputeShadow(FullRows({8, 8}), {8, 8}, Params(0, 1, 100, -4, 4))), left);

    // Shifted right instead, the part right of the hole is filled: the same shadow mirrored.
    Grid right = left;
    for (auto& row : right)
        std::reverse(row.begin(), row.end());
    EXPECT_EQ(Rows(ComputeShadow(FullRows({8, 8}), {8, 8}, Params(0, 1, 100, 4, 4))), right);
}

TEST(ShadowPixels, SizeBeyondTheSharpnessKeepsADarkCore) {
    // Owner 2 × 1, size 3, sharpness 1, darkness 255: bitmap 8 × 7, K = 3, C = 2.
    // Kernel: r < 2 → 255; r = 2 → (1 - 0/2) × 255 = 255; √5 → (1 - 0.236/2) × 255 = 224.9 → 224;
    // √8 → (1 - 0.828/2) × 255 = 149.4 → 149; r = 3 → 127.5 → 127; √10 > K → 0.
    // Row 3 is [3, 5) between empty rows ({2, 0}): left edge [3, min(5, 2 + 1)) is empty, the right
    // edge [3, 5) holds both pixels. Every pixel takes the kernel at its distance from the nearer of
    // (3, 3) and (4, 3); opacities of 128 and more must win over 0 and over smaller ones, so the
    // words are compared unsigned. Interior row 3: hole [3, 5) cleared.
    const ShadowBitmap bitmap = ComputeShadow(FullRows({2, 1}), {2, 1}, Params(3, 1, 255, 0, 0));
    EXPECT_EQ(Rows(bitmap), Black({{0, 0, 0, 127, 127, 0, 0, 0},
                                   {0, 149, 224, 255, 255, 224, 149, 0},
                                   {0, 224, 255, 255, 255, 255, 224, 0},
                                   {127, 255, 255, 0, 0, 255, 255, 127},
                                   {0, 224, 255, 255, 255, 255, 224, 0},
                                   {0, 149, 224, 255, 255, 224, 149, 0},
                                   {0, 0, 0, 127, 127, 0, 0, 0}}));
}

TEST(ShadowPixels, ColourLowByteIsRedAndIsPremultipliedRoundingDown) {
    // Owner 1 × 1, size 1, sharpness 0: K = 1, C = 1, the kernel is d at r ≤ 1 and 0 on the
    // diagonals; the owner's own pixel is the hole, so the four pixels beside it carry the colour.
    struct Case {
        std::uint32_t colour;
        int darkness;
        std::uint32_t pixel;
    };
    const Case cases[] = {
        {0x0000FF, 255, 0xFFFF0000},   // red
        {0xFF0000, 255, 0xFF0000FF},   // blue
        {0x00FF00, 255, 0xFF00FF00},   // green
        {0xAB0000FF, 255, 0xFFFF0000}, // the top byte is not used
        {0xFFFFFF, 100, 0x64646464},
        // The shipped colour at darkness 20: red 0x76 × 20 / 255 = 9.25 → 9, green 0x3B × 20 / 255
        // = 4.63 → 4 (not rounded to 5), blue 0.
        {0x26003B76, 20, 0x14090400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour << " darkness " << std::dec << c.darkness);
        const ShadowBitmap bitmap =
            ComputeShadow(FullRows({1, 1}), {1, 1}, Params(1, 0, c.darkness, 0, 0, c.colour));
        EXPECT_EQ(Rows(bitmap), (Grid{{0, c.pixel, 0}, {c.pixel, 0, c.pixel}, {0, c.pixel, 0}}));
    }
}

TEST(ShadowPixels, NoRegionGivesATransparentShadow) {
    for (const ShadowParams& params :
         {Params(6, 10, 20, 1, 1, 0x26003B76), Params(-2, 5, 255, 0, 0, 0xFFFFFF),
          Params(4, 0, 255, -3, 2, 0xFFFFFF)}) {
        SCOPED_TRACE(params.size);
        const ShadowBitmap bitmap = ComputeShadow(std::nullopt, {10, 8}, params);
        ASSERT_EQ(bitmap.width, 10 + 2 * params.size);
        ASSERT_EQ(bitmap.height, 8 + 2 * params.size);
        EXPECT_EQ(bitmap.pixels, std::vector<std::uint32_t>(bitmap.pixels.size(), 0u));
    }
}

TEST(ShadowPixels, NoBitmapWhenTheShadowHasNoArea) {
    struct Case {
        Size owner;
        int size;
    };
    for (const Case& c : {Case{{4, 3}, -2}, Case{{2, 10}, -1}, Case{{0, 0}, 0}, Case{{4, 4}, -20}}) {
        const ShadowBitmap bitmap = ComputeShadow(FullRows(c.owner), c.owner, Params(c.size, 5, 150, 5, 5));
        EXPECT_TRUE(bitmap.empty()) << c.owner.width << "x" << c.owner.height << " size " << c.size;
    }
}

TEST(ShadowPixels, EverySettingKeepsTheShadowOffTheOwnerAndNoDarkerThanItsDarkness) {
    // Over the setters' whole ranges on a small rounded owner (run under the address sanitizer this
    // also shows that no kernel cell or fill lands outside the bitmap).
    const Size owner{7, 5};
    const Platform::WindowRegion region{owner, 4, 4};
    const std::vector<RowSpan> rows = RegionRowSpans(owner, region);
    const std::pair<int, int> offsets[] = {{0, 0}, {5, 5}, {-3, 2}, {20, -20}, {-20, 20}};
    for (int size = -20; size <= 20; ++size) {
        for (int sharpness : {0, 1, 5, 10, 20}) {
            for (const auto& [x, y] : offsets) {
                SCOPED_TRACE(testing::Message()
                             << "size " << size << " sharpness " << sharpness << " offset " << x << "," << y);
                const ShadowBitmap bitmap =
                    ComputeShadow(rows, owner, Params(size, sharpness, 200, x, y, 0x80FF40));
                if (owner.width + 2 * size <= 0 || owner.height + 2 * size <= 0) {
                    ASSERT_TRUE(bitmap.empty());
                    continue;
                }
                ASSERT_EQ(bitmap.width, owner.width + 2 * size);
                ASSERT_EQ(bitmap.height, owner.height + 2 * size);
                for (int row = 0; row < bitmap.height; ++row) {
                    for (int column = 0; column < bitmap.width; ++column) {
                        const std::uint32_t pixel = bitmap.at(column, row);
                        const std::uint32_t alpha = pixel >> 24;
                        ASSERT_LE(alpha, 200u);
                        ASSERT_LE(std::max({(pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF}), alpha);
                        // The bitmap's (0, 0) lies at the owner's (x - size, y - size).
                        if (region.contains({column + x - size, row + y - size})) {
                            ASSERT_EQ(pixel, 0u) << column << "," << row;
                        }
                    }
                }
            }
        }
    }
}

TEST(ShadowPixels, ShippedParametersAroundARoundedWindow) {
    // Size 6, sharpness 10, darkness 20, offset (1, 1), colour 0x26003B76 on a 16 × 16 owner with
    // 6 × 6 rounded corners: bitmap 28 × 28, four erosion passes, K = 10, C = 0, and
    // a(r) = (1 - r/11) × 20 for r ≤ 10. The owner sits at (5, 5) in the bitmap; the eroded outline
    // runs along columns and rows 10 and 17 away from the corners (6 + 4 and 16 + 6 - 4 - 1), inside
    // the owner, so only the fade shows.
    const Platform::WindowRegion region{{16, 16}, 6, 6};
    const ShadowBitmap bitmap = ComputeShadow(region, {16, 16}, Params(6, 10, 20, 1, 1, 0x26003B76));
    ASSERT_EQ(bitmap.width, 28);
    ASSERT_EQ(bitmap.height, 28);

    // Square owner, equal offsets: the shadow is its own mirror image across the diagonal.
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < y; ++x)
            ASSERT_EQ(bitmap.at(x, y), bitmap.at(y, x)) << x << "," << y;
    // Nothing shows through the owner.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (region.contains({x, y})) {
                ASSERT_EQ(bitmap.at(x + 5, y + 5), 0u) << x << "," << y;
            }
        }
    }

    // Opacity 12 at distance 4: red 0x76 × 12 / 255 = 5, green 0x3B × 12 / 255 = 2.
    // Opacity 9 at distance 6: red 4, green 2. Opacity 1 at distance 10: the colour rounds to 0.
    EXPECT_EQ(bitmap.at(21, 13), 0x0C050200u); // just right of the owner, 4 from column 17
    EXPECT_EQ(bitmap.at(13, 21), 0x0C050200u); // just below it
    EXPECT_EQ(bitmap.at(4, 13), 0x09040200u);  // just left of it, 6 from column 10
    EXPECT_EQ(bitmap.at(13, 4), 0x09040200u);  // just above it
    EXPECT_EQ(bitmap.at(27, 13), 0x01000000u); // the last column, 10 from column 17
    EXPECT_EQ(bitmap.at(13, 0), 0x01000000u);  // the first row, 10 from row 10
    EXPECT_EQ(bitmap.at(0, 0), 0u);
    EXPECT_EQ(bitmap.at(27, 27), 0u);
}

TEST(ShadowPixels, ImageIsLaidAroundTheOwnerWithItsMiddleLeftOut) {
    // A 4 × 4 picture of distinct pixels (one translucent) around a 2 × 2 owner with corner 1 on
    // every side: the bitmap is the picture's size, so nothing is stretched.
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t i = 0; i < 16; ++i)
        pixels.push_back(0xFF000000 | (i * 0x0F0F0F));
    pixels[0] = 0x80402010;
    const Platform::ImageView image{pixels.data(), 4, 4};
    const Platform::Rect corner{1, 1, 1, 1};

    // Corners of 1: the middle 2 × 2 is the hole.
    const ShadowBitmap holed = DrawShadowImage(image, {2, 2}, corner, {});
    ASSERT_EQ(holed.width, 4);
    ASSERT_EQ(holed.height, 4);
    std::vector<std::uint32_t> expected = pixels;
    for (int index : {5, 6, 9, 10})
        expected[static_cast<size_t>(index)] = 0;
    EXPECT_EQ(holed.pixels, expected);

    // The hole offset widens the corners to 2, which then cover the whole picture.
    EXPECT_EQ(DrawShadowImage(image, {2, 2}, corner, {1, 1, 1, 1}).pixels, pixels);

    EXPECT_TRUE(DrawShadowImage(image, {2, 2}, {-1, 0, -1, 0}, {}).empty());
}
