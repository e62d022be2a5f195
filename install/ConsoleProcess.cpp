#include "install/ConsoleProcess.h"

#include "utils/DebugLog.h"
#include "utils/Exception.h"
#include "utils/Executable.h"

std::unique_ptr<Utils::PipedProcess> LaunchWithConsole(const std::wstring& program,
                                                       const std::wstring& commandLine,
                                                       const std::vector<std::wstring>& arguments) {
    if (!Utils::MakeExecutable(program))
        UTILS_LOG(L"cannot make %ls executable\r\n", program.c_str());
    try {
        auto process = std::make_unique<Utils::PipedProcess>();
        process->Launch(commandLine, arguments);
        return process;
    } catch (const Utils::Exception& error) {
        UTILS_LOG(L"%ls did not start: %s\r\n", program.c_str(), error.what());
        return nullptr;
    }
}
