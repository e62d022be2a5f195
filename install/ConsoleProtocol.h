#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The console line protocol spoken by the setup package and the uninstaller: "Key=value" lines on
// standard output. These helpers read one value the way the protocol's formats do ("%lf", "%d",
// "%[^\n]"), so that both runners' key tables agree on every detail.
namespace ConsoleProtocol {

// What a parse tells the reading loop.
inline constexpr int kGoOn = 0;
inline constexpr int kSucceeded = 1;
inline constexpr int kFailed = 1000;

// A text value longer than this is read as an empty text (a bounded scan into a 772-unit buffer).
inline constexpr size_t kMaxText = 771;

// Calls `handle(line)` for each line of `text`, split at line feeds; the line feed is removed, a
// carriage return before it stays.
template <typename Handler> void ForEachLine(std::wstring_view text, Handler handle) {
    while (!text.empty()) {
        size_t feed = text.find(L'\n');
        handle(text.substr(0, feed));
        if (feed == std::wstring_view::npos)
            return;
        text.remove_prefix(feed + 1);
    }
}

// True when `line` starts with `key` (which ends in "="); `value` is then the rest of the line.
bool TakeValue(std::wstring_view line, std::wstring_view key, std::wstring_view& value);

// "%lf": leading white space skipped, the longest number read; 0.0 when none.
double ScanDouble(std::wstring_view value);

// "%d" at the start of `rest`: leading white space skipped, optional sign, at least one digit;
// `rest` is advanced past the number. Numbers beyond 32 bits wrap around.
bool ScanInteger(std::wstring_view& rest, int32_t& number);

// "%[^\n]": the value as a text, empty when it is empty or longer than kMaxText. A carriage return
// at its end (a package writing CRLF lines) is not part of the value.
std::wstring ScanText(std::wstring_view value);

// Without blanks, tabs, carriage returns, line feeds, vertical tabs and form feeds at either end.
std::wstring Trim(std::wstring_view value);

} // namespace ConsoleProtocol
