#pragma once

#include "download/Downloader.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The setup package's side of the console protocol: its sixteen keys, the events they give, and the
// code page the package's output is written in.
class CInstallerConsole {
public:
    explicit CInstallerConsole(ReportCallback callback);

    // Handles the lines of one decoded text and returns ConsoleProtocol::kGoOn, kSucceeded or
    // kFailed: the result of the last final line ("State=" or "Error="), if any.
    int Parse(const std::wstring& text);
    // Decodes one line of the package's output with the current code page and parses it.
    int ParseLine(const std::string& bytes);

    // 0 (the system code page) until an "Encode=" line changes it; kept from one run to the next.
    int32_t CodePage() const { return m_CodePage; }
    const std::array<int32_t, 3>& InstalledVersion() const { return m_InstalledVersion; }

private:
    using Action = int (CInstallerConsole::*)(std::wstring_view value);
    struct Key {
        std::wstring_view name;
        Action action;
    };
    static const Key kKeys[];

    void emit(int32_t code, double value, const std::wstring& text = {});

    int onProgress(std::wstring_view value);
    int onInstPath(std::wstring_view value);
    int onState(std::wstring_view value);
    int onInstallVersion(std::wstring_view value);
    int onExePath(std::wstring_view value);
    int onStartExe(std::wstring_view value);
    int onUninstExePath(std::wstring_view value);
    int onUninstEp(std::wstring_view value);
    int onError(std::wstring_view value);
    int onTopShow(std::wstring_view value);
    int onFinishClose(std::wstring_view value);
    int onStartUrl(std::wstring_view value);
    int onStartupStyle(std::wstring_view value);
    int onEncode(std::wstring_view value);
    int onMessage(std::wstring_view value);

    ReportCallback m_Callback;
    int32_t m_CodePage = 0;
    std::array<int32_t, 3> m_InstalledVersion{0, 0, 0};
};
