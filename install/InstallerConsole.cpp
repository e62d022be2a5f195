#include "install/InstallerConsole.h"

#include "app/config/NumberText.h"
#include "install/ConsoleProtocol.h"
#include "install/InstallCodes.h"
#include "platform/TextCodec.h"
#include "utils/DebugLog.h"
#include "utils/TextConversion.h"

using namespace ConsoleProtocol;

namespace {

constexpr wchar_t kPackageFailed[] = L"安装包安装失败";

// "TopShowDetention" and "FinsihCloseDetention": a "%d" taken as an unsigned 32-bit number.
double delayValue(std::wstring_view value) {
    int32_t number = 0;
    ScanInteger(value, number);
    return static_cast<double>(static_cast<uint32_t>(number));
}

} // namespace

// In the protocol's order; no key is a prefix of another.
const CInstallerConsole::Key CInstallerConsole::kKeys[] = {
    {L"Progress=", &CInstallerConsole::onProgress},
    {L"InstPath=", &CInstallerConsole::onInstPath},
    {L"State=", &CInstallerConsole::onState},
    {L"InstallVersion=", &CInstallerConsole::onInstallVersion},
    {L"ExePath=", &CInstallerConsole::onExePath},
    {L"StartExe=", &CInstallerConsole::onStartExe},
    {L"UninstExePath=", &CInstallerConsole::onUninstExePath},
    {L"UninstExe=", &CInstallerConsole::onUninstExePath},
    {L"UninstEp=", &CInstallerConsole::onUninstEp},
    {L"Error=", &CInstallerConsole::onError},
    {L"TopShowDetention=", &CInstallerConsole::onTopShow},
    {L"FinsihCloseDetention=", &CInstallerConsole::onFinishClose},
    {L"StartUrl=", &CInstallerConsole::onStartUrl},
    {L"StartupStyle=", &CInstallerConsole::onStartupStyle},
    {L"Encode=", &CInstallerConsole::onEncode},
    {L"Message=", &CInstallerConsole::onMessage},
};

CInstallerConsole::CInstallerConsole(ReportCallback callback) : m_Callback(std::move(callback)) {}

int CInstallerConsole::Parse(const std::wstring& text) {
    int result = kGoOn;
    ForEachLine(text, [&](std::wstring_view line) {
        std::wstring_view value;
        for (const Key& key : kKeys) {
            if (TakeValue(line, key.name, value)) {
                if (int outcome = (this->*key.action)(value); outcome != kGoOn)
                    result = outcome;
                break;
            }
        }
    });
    return result;
}

int CInstallerConsole::ParseLine(const std::string& bytes) {
    return Parse(Utils::ToWide(bytes, static_cast<unsigned>(m_CodePage)));
}

void CInstallerConsole::emit(int32_t code, double value, const std::wstring& text) {
    m_Callback(code, value, text.c_str());
}

int CInstallerConsole::onProgress(std::wstring_view value) {
    emit(IST_CODE_PROGRESS, ScanDouble(value));
    return kGoOn;
}

int CInstallerConsole::onInstPath(std::wstring_view value) {
    emit(IST_CODE_INSTPATH, 0.0, ScanText(value));
    return kGoOn;
}

int CInstallerConsole::onState(std::wstring_view value) {
    std::wstring state = Trim(ScanText(value));
    if (state == L"Success") {
        emit(IST_CODE_SUCCESS, 0.0);
        return kSucceeded;
    }
    if (state == L"Fail") {
        emit(IST_CODE_FAIL, 0.0, kPackageFailed);
        return kFailed;
    }
    return kGoOn;
}

int CInstallerConsole::onInstallVersion(std::wstring_view value) {
    // "%d.%d.%d": the numbers read before the first mismatch are kept.
    for (size_t part = 0; part < m_InstalledVersion.size(); ++part) {
        if (part > 0) {
            if (!value.starts_with(L'.'))
                break;
            value.remove_prefix(1);
        }
        if (!ScanInteger(value, m_InstalledVersion[part]))
            break;
    }
    return kGoOn;
}

int CInstallerConsole::onExePath(std::wstring_view value) {
    std::wstring path = ScanText(value);
    UTILS_LOG(L"ExePath: %ls\r\n", path.c_str());
    emit(IST_CODE_EXEPATH, 0.0, path);
    return kGoOn;
}

int CInstallerConsole::onStartExe(std::wstring_view value) {
    emit(IST_CODE_EXEPATH, 0.0, ScanText(value));
    return kGoOn;
}

int CInstallerConsole::onUninstExePath(std::wstring_view value) {
    emit(IST_CODE_UNINSTEXE, 0.0, ScanText(value));
    return kGoOn;
}

int CInstallerConsole::onUninstEp(std::wstring_view value) {
    emit(IST_CODE_UNINSTEP, 0.0, ScanText(value));
    return kGoOn;
}

int CInstallerConsole::onError(std::wstring_view value) {
    emit(IST_CODE_FAIL, 1000.0, ScanText(value));
    return kFailed;
}

int CInstallerConsole::onTopShow(std::wstring_view value) {
    emit(IST_CODE_TOPSHOW, delayValue(value));
    return kGoOn;
}

int CInstallerConsole::onFinishClose(std::wstring_view value) {
    emit(IST_CODE_FINISHCLOSE, delayValue(value));
    return kGoOn;
}

int CInstallerConsole::onStartUrl(std::wstring_view value) {
    emit(IST_CODE_STARTURL, 0.0, ScanText(value));
    return kGoOn;
}

int CInstallerConsole::onStartupStyle(std::wstring_view value) {
    std::wstring style = Trim(ScanText(value));
    double number = style == L"AutoStartup" ? 1.0 : style == L"UserStartup" ? 2.0 : 0.0;
    emit(IST_CODE_STARTUPSTYLE, number);
    return kGoOn;
}

int CInstallerConsole::onEncode(std::wstring_view value) {
    std::wstring encoding = Trim(ScanText(value));
    if (encoding == L"UTF8") {
        m_CodePage = static_cast<int32_t>(Platform::kCodePageUtf8);
    } else if (encoding == L"ACP") {
        m_CodePage = static_cast<int32_t>(Platform::kCodePageSystem);
    } else {
        auto number = NumberText::Integer(encoding);
        m_CodePage = number.outcome == NumberText::Outcome::Number ? number.value : 0;
    }
    return kGoOn;
}

int CInstallerConsole::onMessage(std::wstring_view value) {
    emit(IST_CODE_MESSAGE, 0.0, ScanText(value));
    return kGoOn;
}
