#include "utils/TextConversion.h"

#include <gtest/gtest.h>

using namespace Utils;

TEST(TextConversion, CodePagesRoundTrip) {
    EXPECT_EQ(ToNarrow(L"安装 é", 65001), "\xE5\xAE\x89\xE8\xA3\x85 \xC3\xA9");
    EXPECT_EQ(ToWide("\xE5\xAE\x89\xE8\xA3\x85 \xC3\xA9", 65001), L"安装 é");
    EXPECT_EQ(ToWide(ToNarrow(L"安装", 936), 936), L"安装");
    // The system code page is UTF-8 on this machine (and the plain C locale is read as UTF-8).
    EXPECT_EQ(ToNarrow(L"/tmp/安装", 0), "/tmp/\xE5\xAE\x89\xE8\xA3\x85");
    EXPECT_EQ(ToNarrow(L"安装", 1252), "");
    EXPECT_EQ(ToWide("", 65001), L"");
}

TEST(TextConversion, UrlEncodeKeepsPrintableAscii) {
    struct Case {
        std::wstring text, expected;
    } cases[] = {
        {L"a b", L"a+b"},      {L"é", L"%C3%A9"},
        {L"-_.~", L"-_.~"},    {L"http://h/p?a=1&b=%", L"http://h/p?a=1&b=%"},
        {L"\t\n", L"%09%0A"},  {L"\x7F", L"%7F"},
        {L"中", L"%E4%B8%AD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlEncode(c.text), c.expected);
}

TEST(TextConversion, ReplaceAllGoesLeftToRightOnce) {
    struct Case {
        std::wstring text, what, with, expected;
    } cases[] = {
        {L"http://h/${ROUTE}/x/${ROUTE}", L"${ROUTE}", L"download_silent",
         L"http://h/download_silent/x/download_silent"},
        {L"aaa", L"a", L"aa", L"aaaaaa"}, // the replacement contains what it replaces
        {L"abc", L"", L"x", L"abc"},
        {L"abc", L"z", L"x", L"abc"},
        {L"aaaa", L"aa", L"b", L"bb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAll(c.text, c.what, c.with), c.expected);
}
