#pragma once

#include <string>
#include <vector>

// The installer's settings: built-in defaults, then the settings file beside the executable, then
// the command line, each layer overriding the one before.
class InstallerConfig {
public:
    // Defaults, then "QuxinInstallerConfig.ini" in the folder of `executablePath` when it exists.
    explicit InstallerConfig(const std::wstring& executablePath);

    // The process-wide record, built from the running executable on first use.
    static InstallerConfig& Instance();

    // Stores the address, with every "${ROUTE}" replaced by the route for this system.
    void SetDownloadUrl(const std::wstring& url);

    // Applies the options of the running process's command line.
    void ApplyCommandLine();
    // Applies options given as arguments; the first argument is the program path.
    void ApplyArguments(const std::vector<std::wstring>& arguments);
    // Applies only "-analyticsurl=": the tracker starts before the command line is applied and needs
    // its collector. The first occurrence wins; a bare "-analyticsurl" leaves the default collector.
    void ApplyAnalyticsUrlOption(const std::vector<std::wstring>& arguments);

    std::wstring m_ProductKey{L"Tovaclip"};
    std::wstring m_AppVersion{L"1.7.9"};
    std::wstring m_ExeName{L"NULL"};
    std::wstring m_DlAppNameSuffix{L".downloader"};
    std::wstring m_DlAppVersion;
    std::wstring m_InstCmd;
    std::wstring m_DownloadUrl;
    int m_DownloadType{1};
    bool m_IsCheckNet{false};
    bool m_IsEnableAppAnalytics{true};
    double m_DownloadScale{0.7};
    bool m_HttpReady{true};
    std::wstring m_AbGroup{L"IN"};
    std::wstring m_AnalyticsUrl; // set by the constructor
    int m_LanguageIndex{-1};
    bool m_InsNew{false};
    bool m_Silent{false}; // install without a window, reporting on the console

private:
    void readSettingsFile(const std::wstring& path);
};

inline constexpr wchar_t kSettingsFileName[] = L"QuxinInstallerConfig.ini";
inline constexpr wchar_t kSettingsSection[] = L"Install";
// The download server is a deployment value; this host stands in until a real one is configured.
inline constexpr wchar_t kDefaultDownloadUrl[] = L"http://download.tovaclip.example/software/441";
// The analytics collector is a deployment value too; this host stands in until a real one is configured.
inline constexpr wchar_t kDefaultAnalyticsUrl[] = L"https://analytics.tovaclip.example/collect?project=pc";
