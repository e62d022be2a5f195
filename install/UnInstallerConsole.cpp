#include "install/UnInstallerConsole.h"

#include "install/ConsoleProtocol.h"
#include "install/InstallCodes.h"
#include "platform/TextCodec.h"
#include "utils/TextConversion.h"

using namespace ConsoleProtocol;

namespace {

constexpr wchar_t kUninstallFailed[] = L"安装包卸载失败";

} // namespace

CUnInstallerConsole::CUnInstallerConsole(ReportCallback callback) : m_Callback(std::move(callback)) {}

int CUnInstallerConsole::Parse(const std::wstring& text) {
    int result = kGoOn;
    ForEachLine(text, [&](std::wstring_view line) {
        if (int outcome = parseLine(line); outcome != kGoOn)
            result = outcome;
    });
    return result;
}

int CUnInstallerConsole::ParseLine(const std::string& bytes) {
    return Parse(Utils::ToWide(bytes, static_cast<unsigned>(m_CodePage)));
}

void CUnInstallerConsole::emit(int32_t code, double value, const std::wstring& text) {
    m_Callback(code, value, text.c_str());
}

// The keys in the protocol's order.
int CUnInstallerConsole::parseLine(std::wstring_view line) {
    std::wstring_view value;
    if (TakeValue(line, L"Progress=", value)) {
        emit(UNIST_CODE_PROGRESS, ScanDouble(value));
    } else if (TakeValue(line, L"Error=", value)) {
        emit(UNIST_CODE_ERROR, 0.0, ScanText(value));
        return kFailed;
    } else if (TakeValue(line, L"State=", value)) {
        std::wstring state = Trim(ScanText(value));
        if (state == L"Success") {
            emit(UNIST_CODE_SUCCESS, 0.0);
            return kSucceeded;
        }
        if (state == L"Fail") {
            emit(UNIST_CODE_ERROR, 0.0, kUninstallFailed);
            return kFailed;
        }
    } else if (TakeValue(line, L"Encode=", value)) {
        bool utf8 = Trim(ScanText(value)) == L"UTF8";
        m_CodePage = static_cast<int32_t>(utf8 ? Platform::kCodePageUtf8 : Platform::kCodePageSystem);
    }
    return kGoOn;
}
