#pragma once

#include "tools/download-server/Fault.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace DownloadServer {

struct Options {
    std::filesystem::path root;
    int port{0}; // 0: any free port
    std::vector<std::pair<std::string, Fault>> faults;
    bool help{false};
};

extern const char* const kUsage;

// Fills `options` from the command line; on failure `error` says what is wrong.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

} // namespace DownloadServer
