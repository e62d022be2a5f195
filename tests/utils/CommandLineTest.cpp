#include "utils/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const wchar_t* text;
    std::vector<std::wstring> arguments;
};

} // namespace

TEST(SplitCommandLine, FollowsTheWindowsArgumentRules) {
    const Case cases[] = {
        {L"", {}},
        {L" \t ", {}},
        {L"a b\tc", {L"a", L"b", L"c"}},
        {L"  -x=1   -y  ", {L"-x=1", L"-y"}},
        {L"\"two words\" three", {L"two words", L"three"}},
        {L"-dir=\"C:\\Program Files\\x\" next", {L"-dir=C:\\Program Files\\x", L"next"}},
        {L"\"\"", {L""}},
        {L"a \"\" b", {L"a", L"", L"b"}},
        {L"a\"b c\"d", {L"ab cd"}},
        // Backslashes are literal unless they stand before a quote.
        {L"C:\\dir\\ a\\\\b", {L"C:\\dir\\", L"a\\\\b"}},
        // 2n backslashes and a quote: n backslashes, the quote groups.
        {L"\"a\\\\\" b", {L"a\\", L"b"}},
        {L"a\\\\\\\\\"b c\"", {L"a\\\\b c"}},
        // 2n+1 backslashes and a quote: n backslashes and a literal quote.
        {L"a\\\"b c", {L"a\"b", L"c"}},
        {L"a\\\\\\\"b", {L"a\\\"b"}},
        // "" inside a quoted part is a literal quote and the part goes on.
        {L"\"a\"\"b c\" d", {L"a\"b c", L"d"}},
        {L"\"a\"\"\"", {L"a\""}},
        // An unclosed quote runs to the end.
        {L"\"open ended", {L"open ended"}},
        {L"\"\\\"", {L"\""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utils::SplitCommandLine(c.text), c.arguments) << "text: " << testing::PrintToString(c.text);
}
