#include "install/Registration.h"

#include "install/EarlierInstallation.h"
#include "install/InstallCodes.h"
#include "install/InstallDirectory.h"
#include "platform/KnownFolders.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "utils/Folders.h"
#include "utils/Guid.h"

#include <cmath>
#include <ctime>
#include <cwchar>
#include <limits>

namespace {

constexpr wchar_t kInstallSection[] = L"Install";
constexpr wchar_t kInitSection[] = L"Init";
constexpr wchar_t kAnalyticsFileName[] = L"QXAnalytics.ini";
constexpr size_t kMinStartPageLength = 6;

// Lines of the package's console may end in "\r"; such a path names no file.
std::wstring withoutCarriageReturn(std::wstring text) {
    while (!text.empty() && text.back() == L'\r')
        text.pop_back();
    return text;
}

// The package's numbers arrive as doubles; out-of-range ones are clamped rather than converted with
// undefined behaviour, and NaN counts as 0.
template <typename Integer> Integer toInteger(double value) {
    if (std::isnan(value))
        return 0;
    double low = static_cast<double>(std::numeric_limits<Integer>::min());
    double high = static_cast<double>(std::numeric_limits<Integer>::max());
    if (value <= low)
        return std::numeric_limits<Integer>::min();
    if (value >= high)
        return std::numeric_limits<Integer>::max();
    return static_cast<Integer>(value);
}

// The analytics start-time file's folder: APPDATA's, else the folder shared by all users.
std::wstring analyticsDataFolder() {
    std::wstring base = ReadAppDataVariable();
    if (base.empty())
        base = Platform::CommonDocumentsDir();
    return JoinPath(JoinPath(base, L"QuXinData"), kProductFolderName);
}

std::wstring localTimeText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    wchar_t text[128];
    std::swprintf(text, 128, L"%d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

} // namespace

bool PostInstallValues::Apply(int32_t code, double value, const std::wstring& text) {
    switch (code) {
    case IST_CODE_INSTPATH:
        // A package that names no directory leaves the chosen one, rather than registering nothing.
        if (withoutCarriageReturn(text).empty())
            return false;
        InstallDir = withoutCarriageReturn(text);
        return true;
    case IST_CODE_EXEPATH:
        ProductExecutable = withoutCarriageReturn(text);
        return true;
    case IST_CODE_UNINSTEP:
        RegisteredUninstaller = withoutCarriageReturn(text);
        return true;
    case IST_CODE_STARTURL:
        StartPage = withoutCarriageReturn(text);
        return true;
    case IST_CODE_STARTUPSTYLE:
        StartupStyle = toInteger<int32_t>(value);
        return true;
    case IST_CODE_TOPSHOW:
        TopShowDelay = toInteger<uint32_t>(value);
        return true;
    case IST_CODE_FINISHCLOSE:
        FinishCloseDelay = toInteger<uint32_t>(value);
        return true;
    default:
        return false;
    }
}

void WriteHandOverFiles(const std::wstring& installDir, const std::wstring& installerFileName) {
    // On Windows the process locale is switched to en_GB.UTF-8 before these writes; profile files are
    // always UTF-8 here, so the process locale is left alone.
    std::wstring handOver = JoinPath(installDir, kHandOverFileName);
    Platform::WriteProfileString(kInstallSection, L"APPStore", installerFileName, handOver);
    Platform::WriteProfileString(kInstallSection, L"AppName", kProductFolderName, handOver);
    Platform::WriteProfileString(kInstallSection, L"DeviceID", Utils::NewGuidText(), handOver);

    std::wstring dataFolder = analyticsDataFolder();
    Utils::CreateDirectories(dataFolder);
    if (!Utils::DirectoryExists(dataFolder))
        return;
    std::wstring analytics = JoinPath(dataFolder, kAnalyticsFileName);
    Platform::WriteProfileString(kInstallSection, L"QXAnalyticsIni", analytics, handOver);
    Platform::WriteProfileString(kInitSection, L"UpdateTime", localTimeText(), analytics);
}

void WriteHandOverFiles(const std::wstring& installDir) {
    WriteHandOverFiles(installDir, Platform::FileNameOf(Platform::ExecutablePath()));
}

void RegisterInstallation(const PostInstallValues& values) {
    auto key = Platform::RegistryKey::OpenCurrentUser(kProductRegistryKey, true);
    if (!key)
        return;
    key->SetString(kInstallPathValue, values.InstallDir);
    std::wstring uninstaller = values.RegisteredUninstaller.empty()
                                   ? JoinPath(values.InstallDir, kUninstallerFileName)
                                   : values.RegisteredUninstaller;
    // A later installer runs whatever is registered here, so only a file that is really there.
    if (Utils::FileExists(uninstaller))
        key->SetString(kUnInstallEpValue, uninstaller);
}

bool StartProduct(const PostInstallValues& values, const std::function<void()>& pumpMessages) {
    if (values.StartPage.size() >= kMinStartPageLength)
        Platform::OpenDocument(values.StartPage);
    std::wstring executable = withoutCarriageReturn(values.ProductExecutable);
    if (!Utils::FileExists(executable))
        return false;
    if (pumpMessages)
        pumpMessages();
    return Platform::StartProgram(executable, L"");
}
