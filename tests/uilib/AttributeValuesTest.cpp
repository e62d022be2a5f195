#include "uilib/Colour.h"
#include "uilib/ImageDescription.h"
#include "uilib/NumberList.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <ostream>

// The expected descriptions name only the fields that differ from the defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace UiLib {

void PrintTo(const ImageDescription& d, std::ostream* out) {
    auto rect = [](const Platform::Rect& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    };
    *out << "name=" << ::testing::PrintToString(d.name)
         << " type=" << ::testing::PrintToString(d.resourceType) << " dest=" << rect(d.dest)
         << " source=" << rect(d.source) << " corner=" << rect(d.corner) << " mask=" << std::hex << d.mask
         << std::dec << " fade=" << d.fade << " hole=" << d.hole << " xtiled=" << d.xTiled
         << " ytiled=" << d.yTiled << " hsl=" << d.hsl;
}

} // namespace UiLib

using namespace UiLib;

TEST(Colour, HexadecimalWithOptionalHashOrPrefix) {
    struct Case {
        std::wstring text;
        std::uint32_t expected;
    } cases[] = {
        {L"#FFF5F5F5", 0xFFF5F5F5},
        {L"0xFFF5FAFE", 0xFFF5FAFE},
        {L"#26003B76", 0x26003B76},
        {L"#ff1675fe", 0xFF1675FE},
        {L"#FF0000", 0x00FF0000}, // six digits: alpha 0, the mask that never hits an opaque pixel
        {L"FF0000", 0x00FF0000},
        {L"  #FF8991AF", 0xFF8991AF},
        {L"#0xFF112233", 0xFF112233},
        {L"# FF", 0xFF},             // the conversion skips its own leading space
        {L"#FF00zz", 0xFF00},        // digits up to the first other character
        {L"0x", 0},                  // "0" then an "x" that is no prefix
        {L"#123456789", 0xFFFFFFFF}, // too large for 32 bits
        {L"#-1", 0xFFFFFFFF},
        {L"##FF", 0}, // only one "#" is skipped
        {L"", 0},
        {L"#", 0},
        {L"red", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseColour(c.text), c.expected) << ::testing::PrintToString(c.text);
}

TEST(NumberList, NumbersAfterOneSeparatorEach) {
    struct Case {
        std::wstring text;
        std::array<int, 4> expected;
    } cases[] = {
        {L"2,2,2,2", {2, 2, 2, 2}},
        {L"0, 2, 15, 16", {0, 2, 15, 16}},
        {L"0,2,15 ,16", {0, 2, 15, 0}}, // a blank before the comma is the separator, the comma no number
        {L"1,2", {1, 2, 0, 0}},
        {L"1,,3,4", {1, 0, 3, 4}}, // no digits: 0, and the next read starts one further on
        {L"-5,+6,7;8", {-5, 6, 7, 8}},
        {L"99999999999,-99999999999,0,0", {INT_MAX, INT_MIN, 0, 0}},
        {L"", {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        std::array<int, 4> values{9, 9, 9, 9};
        ParseNumberList(c.text, values);
        EXPECT_EQ(values, c.expected) << ::testing::PrintToString(c.text);
    }
}

TEST(ImageDescription, BareNamesPairsBlanksAndMalformedPairs) {
    const std::wstring progress = L"file='res\\mainWnd\\installPrg1.png' corner='2,2,2,2' mask='#FF0000' "
                                  L"fade='255' hole='false' xtiled='false' ytiled='false'";
    struct Case {
        std::wstring text;
        ImageDescription expected;
    } cases[] = {
        {L"res\\mainWnd\\bg1.png", {.name = L"res\\mainWnd\\bg1.png"}},
        {progress, {.name = L"res\\mainWnd\\installPrg1.png", .corner = {2, 2, 2, 2}, .mask = 0x00FF0000}},
        {L"file='Cb1.png' dest='0,2,15,16'", {.name = L"Cb1.png", .dest = {0, 2, 15, 16}}},
        // Two blanks between pairs are fine; none, or another white-space character, ends the parse.
        {L"file='a.png'  corner='1,2,3,4'", {.name = L"a.png", .corner = {1, 2, 3, 4}}},
        {L"file='a.png'corner='1,2,3,4'", {.name = L"a.png"}},
        {L"file='a.png'\tcorner='1,2,3,4'", {.name = L"a.png"}},
        {L"  file = 'a.png' source='0,0,10,5' ", {.name = L"a.png", .source = {0, 0, 10, 5}}},
        // Malformed pairs end the parse silently, keeping the pairs before them.
        {L"dest='1,2,3,4' file='a.png", {.name = L"dest='1,2,3,4' file='a.png", .dest = {1, 2, 3, 4}}},
        {L"file='a.png' fade=\"100\" hole='true'", {.name = L"a.png"}},
        {L"file='a.png' corner", {.name = L"a.png"}},
        {L"file='a.png' ='x' hole='true'", {.name = L"a.png", .hole = true}}, // an empty key is just unknown
        // Empty values and unknown or differently cased keys are ignored.
        {L"file='' dest='1,1,1,1'", {.name = L"file='' dest='1,1,1,1'", .dest = {1, 1, 1, 1}}},
        {L"File='a.png' Hole='true' size='3'", {.name = L"File='a.png' Hole='true' size='3'"}},
        {L"file='a=b.png'", {.name = L"a=b.png"}},
        {L"res='147' restype='PNG'", {.name = L"147", .resourceType = L"PNG"}},
        {L"color='#FF102030'", {.name = L"#FF102030", .resourceType = L"*COLOR*"}},
        {L"file='a.png' scale9='1,2,3,4' xtiled='true' ytiled='true' hole='true' hsl='true' fade='128' "
         L"mask='0xFF00FF00'",
         {.name = L"a.png",
          .corner = {1, 2, 3, 4},
          .mask = 0xFF00FF00,
          .fade = 128,
          .hole = true,
          .xTiled = true,
          .yTiled = true,
          .hsl = true}},
        {L"file='a.png' fade='300'", {.name = L"a.png", .fade = 255}},
        {L"file='a.png' fade='-4' hole='TRUE'", {.name = L"a.png", .fade = 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseImageDescription(c.text), c.expected) << ::testing::PrintToString(c.text);
}
