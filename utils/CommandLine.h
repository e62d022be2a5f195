#pragma once

#include <string>
#include <vector>

namespace Utils {

// Splits a command-line text into arguments the way Windows programs split theirs: blanks and tabs
// separate; double quotes group; 2n backslashes before a quote give n backslashes and the quote
// toggles grouping, 2n+1 give n backslashes and a literal quote; other backslashes are literal; ""
// inside a quoted part gives a literal quote. Package texts written for Windows keep their meaning.
std::vector<std::wstring> SplitCommandLine(const std::wstring& text);

} // namespace Utils
