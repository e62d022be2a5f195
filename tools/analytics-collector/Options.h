#pragma once

#include "tools/analytics-collector/Answer.h"

#include <filesystem>
#include <string>

namespace AnalyticsCollector {

struct Options {
    std::filesystem::path out;
    int port{0}; // 0: any free port
    Answer answer{Answer::Ok};
    bool help{false};
};

extern const char* const kUsage;

// Fills `options` from the command line; on failure `error` says what is wrong.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

} // namespace AnalyticsCollector
