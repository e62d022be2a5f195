#pragma once

#include "utils/PipedProcess.h"

#include <memory>
#include <string>
#include <vector>

// Starts a program of the pipeline (the package, an uninstaller copy) with its console on pipes,
// after making it executable: a downloaded or copied file may have lost its mode. Null when it cannot
// be started, a command line over 1023 characters included (refused rather than cut); the reason is
// logged.
std::unique_ptr<Utils::PipedProcess> LaunchWithConsole(const std::wstring& program,
                                                       const std::wstring& commandLine,
                                                       const std::vector<std::wstring>& arguments);
