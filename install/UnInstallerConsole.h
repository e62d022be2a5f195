#pragma once

#include "download/Downloader.h"

#include <cstdint>
#include <string>
#include <string_view>

// The uninstaller's side of the console protocol: the reduced table of four keys.
class CUnInstallerConsole {
public:
    explicit CUnInstallerConsole(ReportCallback callback);

    // Handles the lines of one decoded text; returns ConsoleProtocol::kGoOn, or the result of the
    // last final line (kSucceeded, kFailed).
    int Parse(const std::wstring& text);
    // Decodes one line of the uninstaller's output with the current code page and parses it.
    int ParseLine(const std::string& bytes);

    // 65001 after "Encode=UTF8", else 0: the uninstaller names no other code page.
    int32_t CodePage() const { return m_CodePage; }

private:
    void emit(int32_t code, double value, const std::wstring& text = {});
    int parseLine(std::wstring_view line);

    ReportCallback m_Callback;
    int32_t m_CodePage = 0;
};
