#pragma once

#include "download/Downloader.h"
#include "install/UnInstallerConsole.h"
#include "utils/PipedProcess.h"
#include "utils/Thread.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Runs a copy of an earlier installation's uninstaller silently and turns its console lines into
// uninstall events (5002 to 5005). Created for one uninstall and run once.
class CUnInstaller {
public:
    // `uninstallerPath`: the copy to run; `uninstallDir`: the earlier installation's directory.
    CUnInstaller(ReportCallback callback, std::wstring uninstallerPath, std::wstring uninstallDir);
    // Waits for the worker.
    ~CUnInstaller();

    CUnInstaller(const CUnInstaller&) = delete;
    CUnInstaller& operator=(const CUnInstaller&) = delete;

    // Builds the command line with the administrator facts of this moment and runs the uninstaller
    // on a new worker ("UnInstaller"); returns at once.
    void Start();

    // Handles decoded console text; see CUnInstallerConsole::Parse.
    int Parse(const std::wstring& text) { return m_Console.Parse(text); }

    // The worker's body: runs the uninstaller and reads everything it writes. Returns 0.
    uint32_t Run();

    const std::wstring& CommandLine() const { return m_CommandLine; }

private:
    void emit(int32_t code, double value, const wchar_t* text = L"");
    // True when the uninstaller wrote a final line.
    bool readConsole(Utils::PipedProcess& process);

    ReportCallback m_Callback;
    std::wstring m_CommandLine;
    std::vector<std::wstring> m_Arguments;
    std::wstring m_UninstallerPath;
    std::wstring m_UninstallDir;
    CUnInstallerConsole m_Console;
    std::unique_ptr<Utils::Thread> m_Worker;
};
