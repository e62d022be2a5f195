#include "install/Installer.h"

#include "app/config/InstallerConfig.h"
#include "install/ConsoleChannel.h"
#include "install/ConsoleLineReader.h"
#include "install/ConsoleProcess.h"
#include "install/ConsoleProtocol.h"
#include "install/InstallCodes.h"
#include "utils/CommandLine.h"
#include "utils/DebugLog.h"

#include <chrono>
#include <thread>

namespace {

// Between reads while the package writes little, as the protocol paces its reader.
constexpr auto kReadPause = std::chrono::milliseconds(100);

const wchar_t* boolText(bool value) {
    return value ? L"true" : L"false";
}

// The package path without the double quotes that enclose it on the command line.
std::wstring unquoted(const std::wstring& path) {
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"')
        return path.substr(1, path.size() - 2);
    return path;
}

} // namespace

CInstaller::CInstaller(ReportCallback callback, std::wstring packagePath, std::wstring installDir,
                       bool quickLaunchShortcut, bool desktopShortcut, bool adminAct)
    : m_InstallDir(std::move(installDir)), m_QuickLaunchShortcut(quickLaunchShortcut),
      m_DesktopShortcut(desktopShortcut), m_AdminAct(adminAct), m_Callback(callback),
      m_PackagePath(std::move(packagePath)), m_Console(callback) {}

CInstaller::~CInstaller() {
    m_Worker.reset();
}

void CInstaller::Start() {
    // The earlier run reads the command line and the arguments until it ends.
    m_Worker.reset();
    m_CommandLine = BuildCommandLine();
    m_Arguments = BuildArguments();
    UTILS_LOG(L"%ls\r\n", m_CommandLine.c_str());
    auto worker = std::make_unique<Utils::Thread>(this, L"ABDEF", [this](void*) { return Run(); });
    if (!worker->Valid())
        return;
    m_Worker = std::move(worker);
    m_Worker->Resume();
}

std::wstring CInstaller::BuildCommandLine() const {
    std::wstring line = m_PackagePath + L" /S -console=show -version=1.0.0";
    line += std::wstring(L" -adminact=") + boolText(m_AdminAct);
    line += std::wstring(L" -authorizationact=") + boolText(m_AuthorizationAct);
    line += std::wstring(L" -dsc=") + boolText(m_DesktopShortcut);
    line += std::wstring(L" -ssc=") + boolText(m_QuickLaunchShortcut);
    if (!m_InstallLanguage.empty())
        line += L" -inslang=\"" + m_InstallLanguage + L"\"";
    const std::wstring& extra = InstallerConfig::Instance().m_InstCmd;
    if (!extra.empty())
        line += L" " + extra;
    if (!m_InstallDir.empty()) {
        line += L" -instdir=\"" + m_InstallDir + L"\"";
        line += L" /D=" + m_InstallDir;
    }
    return line;
}

std::vector<std::wstring> CInstaller::BuildArguments() const {
    std::vector<std::wstring> arguments{unquoted(m_PackagePath),
                                        L"/S",
                                        L"-console=show",
                                        L"-version=1.0.0",
                                        std::wstring(L"-adminact=") + boolText(m_AdminAct),
                                        std::wstring(L"-authorizationact=") + boolText(m_AuthorizationAct),
                                        std::wstring(L"-dsc=") + boolText(m_DesktopShortcut),
                                        std::wstring(L"-ssc=") + boolText(m_QuickLaunchShortcut)};
    if (!m_InstallLanguage.empty())
        arguments.push_back(L"-inslang=" + m_InstallLanguage);
    for (std::wstring& extra : Utils::SplitCommandLine(InstallerConfig::Instance().m_InstCmd))
        arguments.push_back(std::move(extra));
    if (!m_InstallDir.empty()) {
        arguments.push_back(L"-instdir=" + m_InstallDir);
        arguments.push_back(L"/D=" + m_InstallDir);
    }
    return arguments;
}

uint32_t CInstaller::Run() {
    emit(IST_CODE_START, 0.0);
    if (m_PackagePath.empty()) {
        emit(IST_CODE_FAIL, 1.0);
        return 0;
    }
    emit(IST_CODE_PROGRESS, 0.0);

    auto process = LaunchWithConsole(unquoted(m_PackagePath), m_CommandLine, m_Arguments);
    if (!process) {
        emit(IST_CODE_FAIL, 2.0);
        return 0;
    }

    bool finalLineSeen = readConsole(*process);
    process->Wait();
    process.reset();
    if (!finalLineSeen)
        emit(IST_CODE_SUCCESS, 1.0);
    return 0;
}

bool CInstaller::readConsole(Utils::PipedProcess& process) {
    ConsoleChannel channel(process);
    ConsoleLineReader lines;
    std::string chunk;
    std::string line;
    int result = ConsoleProtocol::kGoOn;
    while (result == ConsoleProtocol::kGoOn && channel.Read(chunk)) {
        lines.Append(std::string_view(chunk).substr(0, chunk.find('\0')));
        // Every whole line of this read counts, also those after a final line.
        while (lines.NextLine(line)) {
            if (int outcome = m_Console.ParseLine(line); outcome != ConsoleProtocol::kGoOn)
                result = outcome;
        }
        // A full chunk means more is waiting: no pause then.
        if (result == ConsoleProtocol::kGoOn && chunk.size() < ConsoleChannel::kChunkSize)
            std::this_thread::sleep_for(kReadPause);
    }
    if (result == ConsoleProtocol::kGoOn) {
        if (lines.TakeRest(line))
            result = m_Console.ParseLine(line);
    } else {
        // What follows the final line is not read, but the pipe is emptied: a package still writing
        // would otherwise fill it and never exit while the runner waits for it.
        while (channel.Read(chunk)) {
        }
    }
    return result != ConsoleProtocol::kGoOn;
}

void CInstaller::emit(int32_t code, double value) {
    m_Callback(code, value, L"");
}
