#pragma once

#include <cstdint>

// Event codes of the package runner (install stage and install facts) and of the uninstaller runner.
enum InstallCode : int32_t {
    IST_CODE_START = 2001,        // the runner's worker has started
    IST_CODE_PROGRESS = 2002,     // value: fraction 0 to 1
    IST_CODE_SUCCESS = 2003,      // value 0: the package said so; 1: it exited without a final line
    IST_CODE_FAIL = 2004,         // value 0, 1, 2 or 1000; text: the reason
    IST_CODE_INSTPATH = 3000,     // text: the final installation directory
    IST_CODE_EXEPATH = 3001,      // text: the product executable
    IST_CODE_UNINSTEXE = 3002,    // text: the product's uninstaller
    IST_CODE_UNINSTEP = 3003,     // text: the uninstaller as registered for later installations
    IST_CODE_STARTURL = 3004,     // text: a web page to open after installation
    IST_CODE_STARTUPSTYLE = 3005, // value: 0 none, 1 automatic, 2 on the user's request
    IST_CODE_TOPSHOW = 3007,      // value: bring-to-front delay in milliseconds
    IST_CODE_FINISHCLOSE = 3008,  // value: self-close delay in milliseconds
    IST_CODE_MESSAGE = 3009,      // text: a message for the user
};

enum UninstallCode : int32_t {
    UNIST_CODE_PROGRESS = 5002, // value: fraction; 0 when started
    UNIST_CODE_SUCCESS = 5003,  // value 0: the uninstaller said so; 1: it exited without a final line
    UNIST_CODE_FAIL = 5004,     // value 1 or 2: the uninstaller could not be started
    UNIST_CODE_ERROR = 5005,    // text: the reason the uninstaller gave
};

// Product constants shared by the pipeline.
inline constexpr wchar_t kProductExecutable[] = L"Tovaclip.exe";
inline constexpr wchar_t kUninstallerFileName[] = L"uninst.ep";
