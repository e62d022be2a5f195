#include "platform/TextCodec.h"

#include <gtest/gtest.h>

using namespace Platform;

TEST(TextCodec, Utf8RoundTripsEveryPlane) {
    const std::wstring text = L"Tovaclip 安装 é \U0001F600";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(L"é"), "\xC3\xA9");
}

TEST(TextCodec, InvalidUtf8BecomesReplacementCharacters) {
    struct Case {
        std::string bytes;
        std::wstring expected;
    } cases[] = {
        {"a\xFF"
         "b",
         L"a\uFFFDb"},       // a byte that starts nothing
        {"\xC3", L"\uFFFD"}, // cut short at the end
        {"\xE4\xB8"
         "x",
         L"\uFFFDx"},                            // cut short before an ASCII byte
        {"\xC0\xAF", L"\uFFFD\uFFFD"},           // overlong form of '/'
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"}, // a surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromUtf8(c.bytes), c.expected) << c.bytes;
}

TEST(TextCodec, OtherCodePagesGoThroughIconv) {
    EXPECT_EQ(EncodeCodePage(L"中文", 936), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(DecodeCodePage("\xD6\xD0\xCE\xC4", 936), L"中文");
    EXPECT_EQ(EncodeCodePage(L"é", 1252), "\xE9");
    // Text the code page cannot carry, and code pages nobody knows, give nothing.
    EXPECT_EQ(EncodeCodePage(L"中文", 1252), "");
    EXPECT_EQ(DecodeCodePage("abc", 99999), L"");
}
