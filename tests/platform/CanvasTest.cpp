#include "platform/Canvas.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace Platform;
using TestSupport::ReadFile;
using TestSupport::TempDir;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kNone = 0;

// Premultiplied pixels in rows, kept alive for the view.
struct Image {
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
    ImageView view() const { return {pixels.data(), width, height}; }
};

// Blending rounds differently on every system; one step per channel is the same colour.
::testing::AssertionResult SameColour(std::uint32_t expected, std::uint32_t actual) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = (expected >> shift) & 0xFF;
        const int b = (actual >> shift) & 0xFF;
        if (std::abs(a - b) > 1)
            return ::testing::AssertionFailure()
                   << std::hex << "expected 0x" << expected << ", got 0x" << actual;
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::uint32_t> Row(const Surface& surface, int y) {
    std::vector<std::uint32_t> row;
    for (int x = 0; x < surface.width(); ++x)
        row.push_back(surface.pixel(x, y));
    return row;
}

// Bounds of the drawn pixels; right and bottom exclusive, empty when nothing was drawn.
Rect InkBounds(const Surface& surface) {
    Rect ink{surface.width(), surface.height(), 0, 0};
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            if (surface.pixel(x, y) >> 24) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x + 1);
                ink.bottom = std::max(ink.bottom, y + 1);
            }
    return ink;
}

const Font kChineseFont{L"NoSuchFace", 20};

} // namespace

TEST(CanvasTest, FillBlendsTheColourWithItsAlpha) {
    struct Case {
        std::uint32_t background;
        std::uint32_t colour;
        std::uint32_t expected;
    } cases[] = {
        {kNone, kRed, kRed},
        {kNone, 0x80FF0000, 0x80800000},  // stored premultiplied
        {kWhite, 0x80FF0000, 0xFFFF7F7F}, // half red over white
        {kWhite, 0x00FF0000, kWhite},     // alpha 0 draws nothing
        {kBlue, 0xFF00FF00, 0xFF00FF00},  // opaque covers
    };
    for (const Case& c : cases) {
        Surface surface(6, 6);
        Canvas canvas(surface);
        canvas.fillRect({0, 0, 6, 6}, c.background);
        canvas.fillRect({1, 2, 4, 5}, c.colour);
        EXPECT_TRUE(SameColour(c.expected, surface.pixel(1, 2))) << std::hex << c.colour;
        EXPECT_TRUE(SameColour(c.expected, surface.pixel(3, 4))) << std::hex << c.colour;
        EXPECT_EQ(c.background, surface.pixel(4, 4));
        EXPECT_EQ(c.background, surface.pixel(0, 2));
    }
}

TEST(CanvasTest, SurfaceBytesAreAPremultipliedBgraBitmap) {
    Surface surface(3, 2);
    ASSERT_EQ(12, surface.stride());
    Canvas(surface).fillRect({2, 1, 3, 2}, 0x80FF4000);
    const std::uint8_t* pixel = surface.data() + 1 * surface.stride() + 2 * 4;
    EXPECT_EQ((std::vector<int>{0x00, 0x20, 0x80, 0x80}),
              (std::vector<int>{pixel[0], pixel[1], pixel[2], pixel[3]}));

    surface.data()[0] = 0xFF; // blue, written directly, then opaque
    surface.data()[3] = 0xFF;
    surface.markDirty();
    EXPECT_EQ(kBlue, surface.pixel(0, 0));
    EXPECT_EQ(kNone, surface.pixel(-1, 0));
    EXPECT_EQ(kNone, surface.pixel(3, 0));
}

TEST(CanvasTest, ImageLandsOnItsDestinationAndSourcePart) {
    const Image image{2, 2, {kRed, kGreen, kBlue, kYellow}};
    Surface surface(10, 10);
    Canvas canvas(surface);
    canvas.drawImage(image.view(), {3, 4, 5, 6});
    EXPECT_EQ(kRed, surface.pixel(3, 4));
    EXPECT_EQ(kGreen, surface.pixel(4, 4));
    EXPECT_EQ(kBlue, surface.pixel(3, 5));
    EXPECT_EQ(kYellow, surface.pixel(4, 5));
    for (auto [x, y] : {std::pair{2, 4}, {5, 4}, {3, 3}, {3, 6}})
        EXPECT_EQ(kNone, surface.pixel(x, y)) << x << "," << y;

    // Only the right column, stretched; a source reaching past the image is cut to it.
    Surface part(3, 2);
    ImagePlacement placement;
    placement.source = {1, 0, 7, 2};
    Canvas(part).drawImage(image.view(), {0, 0, 3, 2}, placement);
    EXPECT_EQ((std::vector<std::uint32_t>{kGreen, kGreen, kGreen}), Row(part, 0));
    EXPECT_EQ((std::vector<std::uint32_t>{kYellow, kYellow, kYellow}), Row(part, 1));
}

TEST(CanvasTest, NineSliceKeepsCornersAndStretchesTheRest) {
    // 6 × 6: 2-pixel corners whose inner pixel differs, green edges, a blue middle.
    Image image{6, 6, std::vector<std::uint32_t>(36, kGreen)};
    auto at = [&](int x, int y) -> std::uint32_t& { return image.pixels[y * 6 + x]; };
    for (int y : {0, 1, 4, 5})
        for (int x : {0, 1, 4, 5})
            at(x, y) = kRed;
    at(1, 1) = at(4, 1) = at(1, 4) = at(4, 4) = kYellow;
    for (int y = 2; y < 4; ++y)
        for (int x = 2; x < 4; ++x)
            at(x, y) = kBlue;

    Surface surface(20, 16);
    Canvas canvas(surface);
    ImagePlacement nine;
    nine.corners = {2, 2, 2, 2};
    canvas.drawImage(image.view(), {0, 0, 20, 16}, nine);
    struct Probe {
        int x, y;
        std::uint32_t expected;
    } probes[] = {
        {0, 0, kRed},      {1, 1, kYellow},  {2, 1, kGreen},  {18, 1, kYellow}, {19, 0, kRed},
        {18, 14, kYellow}, {1, 14, kYellow}, {10, 0, kGreen}, {0, 8, kGreen},   {19, 8, kGreen},
        {2, 2, kBlue},     {17, 13, kBlue},  {10, 8, kBlue},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(p.expected, surface.pixel(p.x, p.y)) << p.x << "," << p.y;
}

TEST(CanvasTest, MiddleIsStretchedByNearestPixelOrTiled) {
    const Image pair{2, 1, {kRed, kBlue}};
    const std::uint32_t R = kRed, B = kBlue, _ = kNone;
    struct Case {
        const char* name;
        bool xTiled;
        int width;
        std::vector<std::uint32_t> row;
    } cases[] = {
        {"stretched", false, 8, {R, R, R, R, B, B, B, B}},
        {"stretched odd", false, 5, {R, R, R, B, B, _, _, _}},
        {"tiled", true, 8, {R, B, R, B, R, B, R, B}},
        {"tiled, last tile cut", true, 5, {R, B, R, B, R, _, _, _}},
    };
    for (const Case& c : cases) {
        Surface surface(8, 1);
        ImagePlacement placement;
        placement.xTiled = c.xTiled;
        Canvas(surface).drawImage(pair.view(), {0, 0, c.width, 1}, placement);
        EXPECT_EQ(c.row, Row(surface, 0)) << c.name;
    }

    // Vertical tiling, and only the middle part tiles: the 1-pixel corners stay put.
    const Image column{1, 4, {kYellow, kRed, kBlue, kGreen}};
    Surface surface(1, 8);
    ImagePlacement placement;
    placement.yTiled = true;
    placement.corners = {0, 1, 0, 1};
    Canvas(surface).drawImage(column.view(), {0, 0, 1, 8}, placement);
    std::vector<std::uint32_t> drawn;
    for (int y = 0; y < 8; ++y)
        drawn.push_back(surface.pixel(0, y));
    EXPECT_EQ((std::vector<std::uint32_t>{kYellow, R, B, R, B, R, B, kGreen}), drawn);
}

TEST(CanvasTest, HoleLeavesTheMiddleOut) {
    const Image image{3, 3, std::vector<std::uint32_t>(9, kRed)};
    Surface surface(9, 9);
    ImagePlacement placement;
    placement.corners = {1, 1, 1, 1};
    placement.hole = true;
    Canvas(surface).drawImage(image.view(), {0, 0, 9, 9}, placement);
    EXPECT_EQ(kRed, surface.pixel(0, 0));
    EXPECT_EQ(kRed, surface.pixel(4, 0));
    EXPECT_EQ(kRed, surface.pixel(8, 4));
    EXPECT_EQ(kNone, surface.pixel(1, 1));
    EXPECT_EQ(kNone, surface.pixel(4, 4));
    EXPECT_EQ(kNone, surface.pixel(7, 7));
}

TEST(CanvasTest, FadeScalesThePremultipliedPixels) {
    struct Case {
        std::uint32_t background;
        std::uint32_t pixel;
        int fade;
        std::uint32_t expected;
    } cases[] = {
        {kNone, kRed, 128, 0x80800000},
        {kNone, 0x80800000, 128, 0x40400000}, // the pixel's own alpha and the fade multiply
        {kNone, 0x80800000, 255, 0x80800000},
        {kWhite, 0x80800000, 255, 0xFFFF7F7F},
        {kWhite, kRed, 0, kWhite},
        {kWhite, kRed, 128, 0xFFFF7F7F},
    };
    for (const Case& c : cases) {
        const Image image{1, 1, {c.pixel}};
        Surface surface(4, 4);
        Canvas canvas(surface);
        canvas.fillRect({0, 0, 4, 4}, c.background);
        ImagePlacement placement;
        placement.fade = c.fade;
        canvas.drawImage(image.view(), {0, 0, 4, 4}, placement);
        EXPECT_TRUE(SameColour(c.expected, surface.pixel(3, 3)))
            << std::hex << c.pixel << " fade " << std::dec << c.fade;
    }
}

TEST(CanvasTest, ClipsToRectanglesAndRoundedRectangles) {
    Surface surface(20, 20);
    Canvas canvas(surface);
    canvas.save();
    canvas.clipRoundedRect({0, 0, 20, 20}, 10, 10);
    canvas.fillRect({0, 0, 20, 20}, kRed);
    EXPECT_EQ(kNone, surface.pixel(0, 0));
    EXPECT_EQ(kNone, surface.pixel(19, 0));
    EXPECT_EQ(kNone, surface.pixel(0, 19));
    EXPECT_EQ(kNone, surface.pixel(19, 19));
    EXPECT_EQ(kRed, surface.pixel(10, 0));
    EXPECT_EQ(kRed, surface.pixel(0, 10));
    EXPECT_EQ(kRed, surface.pixel(10, 10));

    canvas.clipRect({5, 5, 8, 8}); // clips narrow each other
    canvas.fillRect({0, 0, 20, 20}, kBlue);
    EXPECT_EQ(kBlue, surface.pixel(5, 5));
    EXPECT_EQ(kRed, surface.pixel(8, 8));
    canvas.restore();

    canvas.fillRect({0, 0, 20, 20}, kGreen);
    EXPECT_EQ(kGreen, surface.pixel(0, 0));
}

TEST(CanvasTest, BordersStayInsideTheirRectangle) {
    Surface surface(30, 20);
    Canvas canvas(surface);
    canvas.drawBorder({0, 0, 10, 10}, 2, kRed);
    for (auto [x, y] : {std::pair{0, 0}, {1, 5}, {9, 9}, {5, 8}})
        EXPECT_EQ(kRed, surface.pixel(x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{2, 5}, {5, 5}, {10, 5}, {5, 10}})
        EXPECT_EQ(kNone, surface.pixel(x, y)) << x << "," << y;

    canvas.drawBorder({10, 0, 30, 20}, 1, kBlue, 10, 10);
    EXPECT_EQ(kNone, surface.pixel(10, 0)); // rounded corner
    EXPECT_EQ(kNone, surface.pixel(29, 19));
    EXPECT_EQ(kBlue, surface.pixel(20, 0)); // straight edges are crisp
    EXPECT_EQ(kBlue, surface.pixel(10, 10));
    EXPECT_EQ(kBlue, surface.pixel(29, 10));
    EXPECT_EQ(kNone, surface.pixel(20, 10));
}

TEST(CanvasTest, ChineseTextIsDrawnInsideItsBox) {
    Surface surface(200, 60);
    Canvas(surface).drawText(L"安装完成", {10, 10, 190, 50}, kChineseFont, 0xFF000000,
                             TextStyle::kSingleLine | TextStyle::kVCenter);
    int inked = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            inked += (surface.pixel(x, y) >> 24) != 0;
    EXPECT_GT(inked, 100);
    const Rect ink = InkBounds(surface);
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 10);
    EXPECT_LE(ink.right, 190);
    EXPECT_LE(ink.bottom, 50);
    EXPECT_GT(ink.width(), 60); // four glyphs of 20 pixels, not one box
}

TEST(CanvasTest, TextFollowsTheAlignmentFlags) {
    const Rect box{0, 0, 200, 60};
    const Size text = MeasureText(L"安装", kChineseFont);
    struct Case {
        unsigned style;
        int left; // expected text origin
        int top;
    } cases[] = {
        {TextStyle::kLeft | TextStyle::kTop, 0, 0},
        {TextStyle::kCenter | TextStyle::kVCenter, (200 - text.width) / 2, (60 - text.height) / 2},
        {TextStyle::kRight | TextStyle::kBottom, 200 - text.width, 60 - text.height},
        {TextStyle::kCenter | TextStyle::kWordBreak | TextStyle::kVCenter, (200 - text.width) / 2,
         (60 - text.height) / 2},
    };
    Surface reference(text.width, text.height);
    Canvas(reference).drawText(L"安装", {0, 0, text.width, text.height}, kChineseFont, 0xFF000000,
                               TextStyle::kSingleLine);
    const Rect referenceInk = InkBounds(reference);
    for (const Case& c : cases) {
        Surface surface(box.width(), box.height());
        Canvas(surface).drawText(L"安装", box, kChineseFont, 0xFF000000, c.style | TextStyle::kSingleLine);
        const Rect ink = InkBounds(surface);
        EXPECT_NEAR(c.left + referenceInk.left, ink.left, 1) << std::hex << c.style;
        EXPECT_NEAR(c.top + referenceInk.top, ink.top, 1) << std::hex << c.style;
    }
}

TEST(CanvasTest, MeasuringFollowsLengthSizeWrappingAndEllipsis) {
    const Size two = MeasureText(L"安装", kChineseFont);
    const Size four = MeasureText(L"安装完成", kChineseFont);
    EXPECT_GT(two.width, 0);
    EXPECT_GT(four.width, two.width);
    EXPECT_EQ(two.height, four.height);
    EXPECT_GT(MeasureText(L"安装", {L"", 30}).height, two.height);
    EXPECT_EQ(Size{}, MeasureText(L"", kChineseFont));

    const std::wstring longText = L"检测到计算机中已存在此软件，是否为您更新为最新版本？";
    const Size natural = MeasureText(longText, kChineseFont);
    ASSERT_GT(natural.width, 100);
    const Size ellipsized =
        MeasureText(longText, kChineseFont, TextStyle::kSingleLine | TextStyle::kEndEllipsis, 100);
    EXPECT_GT(ellipsized.width, 0);
    EXPECT_LE(ellipsized.width, 100);
    EXPECT_EQ(natural.height, ellipsized.height);

    const Size wrapped = MeasureText(longText, kChineseFont, TextStyle::kWordBreak, 100);
    EXPECT_LE(wrapped.width, 100);
    EXPECT_GE(wrapped.height, 3 * natural.height);
    // A single line ignores the word-break flag.
    EXPECT_EQ(natural,
              MeasureText(longText, kChineseFont, TextStyle::kSingleLine | TextStyle::kWordBreak, 100));
}

TEST(CanvasTest, EllipsizedTextEndsInsideItsBox) {
    Surface surface(300, 40);
    Canvas(surface).drawText(L"检测到计算机中已存在此软件，是否为您更新为最新版本？", {0, 0, 100, 40},
                             kChineseFont, 0xFF000000,
                             TextStyle::kSingleLine | TextStyle::kEndEllipsis | TextStyle::kVCenter);
    const Rect ink = InkBounds(surface);
    EXPECT_GT(ink.width(), 50);
    EXPECT_LE(ink.right, 100);
}

TEST(CanvasTest, WritesAPngSnapshot) {
    TempDir dir;
    Surface surface(7, 5);
    Canvas(surface).fillRect({0, 0, 7, 5}, 0x80FF0000);
    const auto path = dir.path() / "snapshot.png";
    ASSERT_TRUE(surface.writePng(path.string()));
    const std::string bytes = ReadFile(path);
    ASSERT_GE(bytes.size(), 24u);
    EXPECT_EQ(std::string("\x89PNG\r\n\x1a\n", 8), bytes.substr(0, 8));
    EXPECT_EQ(std::string("IHDR"), bytes.substr(12, 4));
    EXPECT_EQ(std::string("\0\0\0\x07\0\0\0\x05", 8), bytes.substr(16, 8)); // width, height, big-endian

    EXPECT_FALSE(surface.writePng((dir.path() / "missing" / "snapshot.png").string()));
}
