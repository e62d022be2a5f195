#include "app/config/InstallerConfig.h"

#include "app/config/NumberText.h"
#include "platform/KnownFolders.h"
#include "platform/ProfileFile.h"
#include "utils/Folders.h"
#include "utils/SystemIdentity.h"
#include "utils/TextConversion.h"

#include <algorithm>
#include <map>

namespace {

constexpr size_t kValueBuffer = 260;
constexpr int kProductNumber = 639;
// Products that publish a separate package for 64-bit systems.
constexpr int kProductsWith64BitPackage[] = {267, 385, 257, 335, 318};

std::wstring routeForThisSystem() {
    std::wstring family, name;
    Utils::GetOsVersionName(family, name);
    if (name.find(L"XP") != std::wstring::npos)
        return L"download_silent_xp";
    bool has64BitPackage =
        std::ranges::find(kProductsWith64BitPackage, kProductNumber) != std::end(kProductsWith64BitPackage);
    return has64BitPackage && Utils::Is64BitSystem() ? L"download_silent_64" : L"download_silent";
}

} // namespace

InstallerConfig::InstallerConfig(const std::wstring& executablePath) {
    SetDownloadUrl(kDefaultDownloadUrl);
    m_AnalyticsUrl = kDefaultAnalyticsUrl;
    m_ExeName = Platform::FileNameOf(executablePath);
    std::wstring settings = Platform::DirectoryOf(executablePath) + L"/" + kSettingsFileName;
    if (Utils::FileExists(settings))
        readSettingsFile(settings);
}

InstallerConfig& InstallerConfig::Instance() {
    static InstallerConfig config(Platform::ExecutablePath());
    return config;
}

void InstallerConfig::SetDownloadUrl(const std::wstring& url) {
    static constexpr wchar_t kRoute[] = L"${ROUTE}";
    m_DownloadUrl =
        url.find(kRoute) == std::wstring::npos ? url : Utils::ReplaceAll(url, kRoute, routeForThisSystem());
}

void InstallerConfig::readSettingsFile(const std::wstring& path) {
    auto text = [&](const wchar_t* key, const std::wstring& fallback) {
        return Platform::GetProfileString(kSettingsSection, key, fallback, path, kValueBuffer);
    };
    SetDownloadUrl(text(L"DownloadUrl", kDefaultDownloadUrl));
    m_DownloadType = Platform::GetProfileInt(kSettingsSection, L"DownloadType", m_DownloadType, path);
    m_IsCheckNet = text(L"IsCheckNet", L"true") == L"true";
    m_IsEnableAppAnalytics = text(L"IsEnableAppAnalytics", L"true") == L"true";
    m_DlAppNameSuffix = text(L"DlAppNameSuffix", L".downloader");
    m_DlAppVersion = text(L"m_DlAppVersion", L"");
    auto scale = NumberText::Decimal(text(L"DownloadScale", L"0.7"));
    if (scale.outcome != NumberText::Outcome::OutOfRange)
        m_DownloadScale = scale.value; // text that is no number gives 0
    m_InstCmd = text(L"InstCmd", L"");
    m_AnalyticsUrl = text(L"AnalyticsUrl", kDefaultAnalyticsUrl);
}

void InstallerConfig::ApplyCommandLine() {
    ApplyArguments(Platform::ProcessArguments());
}

void InstallerConfig::ApplyAnalyticsUrlOption(const std::vector<std::wstring>& arguments) {
    static constexpr std::wstring_view kOption = L"-analyticsurl";
    for (const std::wstring& argument : arguments) {
        if (!argument.starts_with(kOption))
            continue;
        if (argument.size() == kOption.size()) {
            m_AnalyticsUrl.clear(); // the tracker falls back to its default collector
            return;
        }
        if (argument[kOption.size()] == L'=') {
            m_AnalyticsUrl = argument.substr(kOption.size() + 1);
            return;
        }
    }
}

void InstallerConfig::ApplyArguments(const std::vector<std::wstring>& arguments) {
    // "-key=value" gives key and value; anything else is a key without value. The first one wins.
    std::map<std::wstring, std::wstring> options;
    for (const std::wstring& argument : arguments) {
        size_t equals = argument.find(L'=');
        if (!argument.empty() && argument[0] == L'-' && equals != std::wstring::npos)
            options.emplace(argument.substr(0, equals), argument.substr(equals + 1));
        else
            options.emplace(argument, std::wstring());
    }
    auto option = [&](const wchar_t* name) -> const std::wstring* {
        auto found = options.find(name);
        return found == options.end() ? nullptr : &found->second;
    };
    // An integer that does not fit keeps the previous value; text without a number gives 0.
    auto integer = [](const std::wstring& value, int& field) {
        auto number = NumberText::Integer(value);
        if (number.outcome != NumberText::Outcome::OutOfRange)
            field = number.value;
    };

    if (auto value = option(L"-downloadurl"))
        SetDownloadUrl(*value);
    if (auto value = option(L"-downloadtype"))
        integer(*value, m_DownloadType);
    if (auto value = option(L"-downloadscale")) {
        // Only a usable number replaces the share: the progress bar needs one.
        auto number = NumberText::Decimal(*value);
        if (number.outcome == NumberText::Outcome::Number)
            m_DownloadScale = number.value;
    }
    if (auto value = option(L"-ischecknet"))
        m_IsCheckNet = *value == L"true";
    if (auto value = option(L"-isenableappanalytics"))
        m_IsEnableAppAnalytics = *value == L"true";
    if (auto value = option(L"-dlappnamesuffix"))
        m_DlAppNameSuffix = *value;
    if (auto value = option(L"-dlappversion"))
        m_DlAppVersion = *value;
    if (auto value = option(L"-instcmd"))
        m_InstCmd = *value;
    if (auto value = option(L"-language"))
        integer(*value, m_LanguageIndex);
    if (auto value = option(L"-insnew"))
        m_InsNew = *value == L"true";
    if (auto value = option(L"-silent"))
        m_Silent = *value == L"true";
}
