#include "analytics/sdk/Diagnostics.h"

#include <cstdio>

namespace qx_analytics {

void ErrorLine(const std::string& text) {
    ErrorText(text + "\n");
}

void ErrorText(const std::string& text) {
    // Standard error is unbuffered: one call keeps the line whole among other threads' lines.
    std::fwrite(text.data(), 1, text.size(), stderr);
}

void DebugLine(const std::string& text) {
    // The debugger output channel is standard error on this system.
    ErrorLine(text);
}

} // namespace qx_analytics
