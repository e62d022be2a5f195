#pragma once

#include "download/Downloader.h"
#include "install/InstallerConsole.h"
#include "utils/PipedProcess.h"
#include "utils/Thread.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Runs the downloaded setup package silently and turns its console lines into install events
// (2001 to 2004, 3000 to 3009) for the owner's callback. One object per pipeline; Start may be called
// again for a later attempt.
class CInstaller {
public:
    // `packagePath` comes enclosed in double quotes, as it stands on the command line.
    CInstaller(ReportCallback callback, std::wstring packagePath, std::wstring installDir,
               bool quickLaunchShortcut, bool desktopShortcut, bool adminAct);
    // Waits for the worker.
    ~CInstaller();

    CInstaller(const CInstaller&) = delete;
    CInstaller& operator=(const CInstaller&) = delete;

    // Waits for an earlier run, builds the command line and runs the package on a new worker
    // ("ABDEF"); returns at once.
    void Start();

    // The package's command line as one text, as it is logged and limited.
    std::wstring BuildCommandLine() const;
    // The same call as the arguments the package receives: each switch and each directory is one
    // argument, whole, whatever blanks or quotes it holds; the extra text `m_InstCmd` is split as a
    // Windows program would split it.
    std::vector<std::wstring> BuildArguments() const;

    // Handles decoded console text; see CInstallerConsole::Parse.
    int Parse(const std::wstring& text) { return m_Console.Parse(text); }

    // The worker's body: runs the package and reads its console to the end. Returns 0.
    uint32_t Run();

    const std::wstring& CommandLine() const { return m_CommandLine; }
    int32_t CodePage() const { return m_Console.CodePage(); }
    const std::array<int32_t, 3>& InstalledVersion() const { return m_Console.InstalledVersion(); }

    // Written by the orchestrator before each Start.
    std::wstring m_InstallDir;
    bool m_QuickLaunchShortcut;
    bool m_DesktopShortcut;
    bool m_AdminAct;
    bool m_AuthorizationAct = true;
    std::wstring m_InstallLanguage;

private:
    void emit(int32_t code, double value);
    // True when the package wrote a final line.
    bool readConsole(Utils::PipedProcess& process);

    ReportCallback m_Callback;
    std::wstring m_PackagePath;
    std::wstring m_CommandLine;
    std::vector<std::wstring> m_Arguments;
    CInstallerConsole m_Console;
    std::unique_ptr<Utils::Thread> m_Worker;
};
