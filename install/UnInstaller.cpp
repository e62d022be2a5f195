#include "install/UnInstaller.h"

#include "install/ConsoleChannel.h"
#include "install/ConsoleLineReader.h"
#include "install/ConsoleProcess.h"
#include "install/ConsoleProtocol.h"
#include "install/InstallCodes.h"
#include "utils/DebugLog.h"
#include "utils/Folders.h"
#include "utils/Privileges.h"

namespace {

constexpr wchar_t kUninstallerMissing[] = L"可执行卸载文件不存在";

const wchar_t* boolText(bool value) {
    return value ? L"true" : L"false";
}

// The user at the console is an administrator account.
bool consoleUserIsAdmin() {
    std::wstring user;
    return Utils::GetConsoleUserName(user) && Utils::IsAdminAccount(user);
}

} // namespace

CUnInstaller::CUnInstaller(ReportCallback callback, std::wstring uninstallerPath, std::wstring uninstallDir)
    : m_Callback(callback), m_UninstallerPath(std::move(uninstallerPath)),
      m_UninstallDir(std::move(uninstallDir)), m_Console(callback) {}

CUnInstaller::~CUnInstaller() {
    m_Worker.reset();
}

void CUnInstaller::Start() {
    m_Worker.reset();
    const wchar_t* adminAct = boolText(consoleUserIsAdmin());
    const wchar_t* authorizationAct = boolText(Utils::IsAdministrator());
    // Neither path is quoted and "_?=" stays last, as the uninstaller expects.
    m_CommandLine = m_UninstallerPath + L" /S -adminact=" + adminAct + L" -authorizationact=" +
                    authorizationAct + L" -console=show _?=" + m_UninstallDir;
    m_Arguments = {m_UninstallerPath,
                   L"/S",
                   std::wstring(L"-adminact=") + adminAct,
                   std::wstring(L"-authorizationact=") + authorizationAct,
                   L"-console=show",
                   L"_?=" + m_UninstallDir};
    UTILS_LOG(L"%ls\r\n", m_CommandLine.c_str());
    auto worker = std::make_unique<Utils::Thread>(this, L"UnInstaller", [this](void*) { return Run(); });
    if (!worker->Valid())
        return;
    m_Worker = std::move(worker);
    m_Worker->Resume();
}

uint32_t CUnInstaller::Run() {
    if (!Utils::FileExists(m_UninstallerPath)) {
        emit(UNIST_CODE_FAIL, 1.0, kUninstallerMissing);
        return 0;
    }
    emit(UNIST_CODE_PROGRESS, 0.0);

    auto process = LaunchWithConsole(m_UninstallerPath, m_CommandLine, m_Arguments);
    if (!process) {
        emit(UNIST_CODE_FAIL, 2.0);
        return 0;
    }

    bool finalLineSeen = readConsole(*process);
    process->Wait();
    process.reset();
    if (!finalLineSeen)
        emit(UNIST_CODE_SUCCESS, 1.0);
    return 0;
}

bool CUnInstaller::readConsole(Utils::PipedProcess& process) {
    // Everything the uninstaller writes is read, also after a final line and up to its last line
    // written before it exited; there is no pause between reads.
    ConsoleChannel channel(process);
    ConsoleLineReader lines;
    std::string chunk;
    std::string line;
    bool finalLineSeen = false;
    while (channel.Read(chunk)) {
        lines.Append(std::string_view(chunk).substr(0, chunk.find('\0')));
        while (lines.NextLine(line))
            finalLineSeen |= m_Console.ParseLine(line) != ConsoleProtocol::kGoOn;
    }
    if (lines.TakeRest(line))
        finalLineSeen |= m_Console.ParseLine(line) != ConsoleProtocol::kGoOn;
    return finalLineSeen;
}

void CUnInstaller::emit(int32_t code, double value, const wchar_t* text) {
    m_Callback(code, value, text);
}
