#include "install/InstallDirectory.h"

#include "platform/KnownFolders.h"
#include "platform/ProfileFile.h"
#include "platform/TextCodec.h"
#include "utils/Folders.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

constexpr wchar_t kParentFolderName[] = L"parvo";
constexpr wchar_t kUninstallSection[] = L"Uninstall";
constexpr wchar_t kIsOverrideKey[] = L"IsOverride";
constexpr size_t kIsOverrideBuffer = 20;

std::wstring cut(std::wstring path) {
    if (path.size() > kMaxDirectoryLength)
        path.resize(kMaxDirectoryLength);
    return path;
}

std::wstring withSlashes(std::wstring text) {
    std::replace(text.begin(), text.end(), L'\\', L'/');
    return text;
}

// Absolute and lexically normal, without a trailing separator; nullopt for an empty text, which names
// no directory.
std::optional<std::string> comparable(const std::wstring& directory) {
    if (directory.empty())
        return std::nullopt;
    std::error_code error;
    std::filesystem::path path =
        std::filesystem::absolute(Platform::NativeText(withSlashes(directory)), error).lexically_normal();
    if (error)
        return std::nullopt;
    std::string text = path.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

} // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == Platform::kPathSeparator)
        return folder + name;
    return folder + Platform::kPathSeparator + name;
}

std::wstring ReadAppDataVariable() {
    const char* value = std::getenv("APPDATA");
    if (!value || !*value)
        return {};
    std::wstring text = Platform::FromNativeText(value);
    return text.size() <= kMaxDirectoryLength ? text : std::wstring();
}

std::wstring DefaultInstallDirectory(const EarlierInstallation& earlier, const AdminFacts& facts) {
    if (!earlier.InstallPath.empty() && Utils::FileExists(earlier.UnInstallEp))
        return cut(earlier.InstallPath);
    if (facts.AdminAct && facts.AuthorizationAct) {
        std::wstring appData = ReadAppDataVariable();
        if (!appData.empty())
            return cut(JoinPath(JoinPath(appData, kParentFolderName), kProductFolderName));
    }
    return cut(JoinPath(Platform::ProgramFilesDir(), kProductFolderName));
}

bool NamesSameDirectory(const std::wstring& directory, const std::wstring& defaultDirectory) {
    auto one = comparable(directory);
    auto other = comparable(defaultDirectory);
    return one && other && *one == *other;
}

bool IsDefaultInstallDirectory(const std::wstring& directory, const EarlierInstallation& earlier,
                               const AdminFacts& facts) {
    return NamesSameDirectory(directory, DefaultInstallDirectory(earlier, facts));
}

std::wstring CustomInstallDirectory(const std::wstring& fieldText, const EarlierInstallation& earlier,
                                    const AdminFacts& facts) {
    std::wstring defaultDirectory = DefaultInstallDirectory(earlier, facts);
    if (NamesSameDirectory(fieldText, defaultDirectory))
        return defaultDirectory;
    return cut(JoinPath(withSlashes(fieldText), kProductFolderName));
}

bool KeepsEarlierInstallation(const std::wstring& chosenDirectory, const EarlierInstallation& earlier) {
    if (!NamesSameDirectory(chosenDirectory, earlier.InstallPath))
        return false;
    std::wstring isOverride =
        Platform::GetProfileString(kUninstallSection, kIsOverrideKey, L"true",
                                   JoinPath(chosenDirectory, kHandOverFileName), kIsOverrideBuffer);
    return isOverride == L"false";
}
