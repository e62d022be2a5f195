#pragma once

#include <cstdint>
#include <functional>
#include <string>

// How the package wants its product started after installation.
inline constexpr int32_t kNonStartup = 0;
inline constexpr int32_t kAutoStartup = 1;
inline constexpr int32_t kUserStartup = 2;

// What the package told about the installation (events 3000 to 3008), kept for after success.
struct PostInstallValues {
    std::wstring InstallDir{}; // the chosen directory until the package names its own
    std::wstring ProductExecutable{};
    std::wstring RegisteredUninstaller{};
    std::wstring StartPage{};
    int32_t StartupStyle = kNonStartup;
    uint32_t TopShowDelay = 3000; // milliseconds until the finished window comes to the front
    // Milliseconds until the finished window closes itself; the default is beyond any timer's reach.
    uint32_t FinishCloseDelay = 4294967295u;

    // Keeps the value of one install-fact event; false for events that leave the values alone. A
    // value from an earlier attempt stays until the package sends the same event again.
    bool Apply(int32_t code, double value, const std::wstring& text);
};

// Writes the hand-over file "set.ini" into `installDir` ([Install] APPStore, AppName, a new DeviceID
// each time, and QXAnalyticsIni when the analytics data folder exists or can be made) and stamps
// [Init] UpdateTime in that folder's QXAnalytics.ini. Failures are ignored.
void WriteHandOverFiles(const std::wstring& installDir, const std::wstring& installerFileName);
// The same, naming the running installer.
void WriteHandOverFiles(const std::wstring& installDir);

// Records the installation for later installers: InstallPath always, UnInstallEp only when the
// uninstaller file is there. Failures are ignored.
void RegisterInstallation(const PostInstallValues& values);

// Opens the start page when there is one (more than 5 characters) and starts the product when its
// executable exists, after `pumpMessages` (may be empty) has let the window catch up. True when the
// product was started.
bool StartProduct(const PostInstallValues& values, const std::function<void()>& pumpMessages);
