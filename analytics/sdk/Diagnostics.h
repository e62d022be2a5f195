#pragma once

#include <string>

// Where the analytics layer's diagnostics go. Nothing of it reaches the user: a windowed program has
// no visible standard error.
namespace qx_analytics {

// One line (the text and a line end) to standard error, in one piece.
void ErrorLine(const std::string& text);
// The text as it is, without a line end.
void ErrorText(const std::string& text);
// One line to the debugger output channel.
void DebugLine(const std::string& text);

} // namespace qx_analytics
