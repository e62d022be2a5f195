#include "analytics/tracker/IdentityFile.h"

#include "analytics/tracker/DeviceId.h"
#include "platform/KnownFolders.h"
#include "platform/ProfileFile.h"
#include "platform/TextCodec.h"
#include "utils/Folders.h"

#include <algorithm>

namespace quxin::tracking {
namespace {

constexpr size_t kValueBuffer = 128;
constexpr wchar_t kBase[] = L"Base";
constexpr wchar_t kUninstallInfo[] = L"UninstallInfo";

std::wstring wide(const std::string& text) {
    return Platform::FromNativeText(text);
}

std::string narrow(const std::wstring& text) {
    return Platform::NativeText(text);
}

std::string readValue(const TrackerState& state, const wchar_t* key) {
    return narrow(Platform::GetProfileString(kBase, key, L"", wide(state.identityFile), kValueBuffer));
}

void writeValue(const TrackerState& state, const wchar_t* section, const wchar_t* key,
                const std::string& value) {
    Platform::WriteProfileString(section, key, wide(value), wide(state.identityFile));
}

// The identity file named by the settings of an installed product, when they name one.
std::wstring identityFileFromSettings(const std::wstring& settingsFolder) {
    for (const wchar_t* name : {L"Set.ini", L"set.ini"}) {
        std::wstring settings = settingsFolder + L"/" + name;
        if (!Utils::FileExists(settings))
            continue;
        std::wstring path =
            Platform::GetProfileString(L"Install", L"QXAnalyticsIni", L"", settings, kValueBuffer);
        std::replace(path.begin(), path.end(), L'\\', Platform::kPathSeparator);
        // A bare file name says nothing about where the files belong.
        return path.find(Platform::kPathSeparator) == std::wstring::npos ? std::wstring() : path;
    }
    return {};
}

} // namespace

void resolveFiles(TrackerState& state, const std::wstring& settingsFolder, const std::string& appName) {
    const std::wstring name = wide(appName);
    std::wstring folder;
    std::wstring identityFile = identityFileFromSettings(settingsFolder);
    if (!identityFile.empty()) {
        folder = identityFile.substr(0, identityFile.rfind(Platform::kPathSeparator) + 1);
    } else {
        folder = Platform::LocalAppDataDir() + L"/QXLocal/" + name + L"/";
        identityFile = folder + name + L"_QXSConfigure.ini";
    }
    Utils::CreateDirectories(folder); // a failure leaves the identity in memory for this run
    state.dataFolder = narrow(folder);
    state.identityFile = narrow(identityFile);
    state.stagingFile = narrow(folder + name + L"_QXSStaging.txt");
}

void loadIdentity(TrackerState& state) {
    state.userId.clear();
    state.distinctId.clear();
    state.primaryDistinctId.clear();
    state.loggedIn = false;
    state.serverUrl.clear();
    if (Utils::FileExists(wide(state.identityFile))) {
        state.distinctId = readValue(state, L"DistinctId");
        state.primaryDistinctId = readValue(state, L"PrimaryDistinctId");
        state.userId = readValue(state, L"UserId");
        state.vipLevel = Platform::GetProfileInt(kBase, L"UserVipLevel", 0, wide(state.identityFile));
        state.serverUrl = readValue(state, L"URL");
        state.loggedIn = readValue(state, L"isLogined") == "OK";
        if (state.primaryDistinctId.empty())
            state.primaryDistinctId = state.distinctId;
    }
    if (state.distinctId.empty()) {
        state.distinctId = NewDeviceId();
        saveIdentity(state);
    }
}

void reconcileWithUrl(TrackerState& state, const std::string& url) {
    if (state.serverUrl != url || state.distinctId.empty()) {
        state.userId.clear();
        state.loggedIn = false;
        if (state.primaryDistinctId.empty()) {
            state.distinctId = NewDeviceId();
            state.primaryDistinctId = state.distinctId;
        } else {
            state.distinctId = state.primaryDistinctId;
        }
        state.serverUrl = url;
        saveIdentity(state);
    }
    if (state.userId.empty())
        state.loggedIn = false;
}

void saveIdentity(const TrackerState& state) {
    if (state.identityFile.empty())
        return;
    writeValue(state, kBase, L"DistinctId", state.distinctId);
    writeValue(state, kBase, L"PrimaryDistinctId", state.primaryDistinctId);
    writeValue(state, kBase, L"UserId", state.userId);
    writeValue(state, kBase, L"UserVipLevel", std::to_string(state.vipLevel));
    writeValue(state, kBase, L"URL", state.serverUrl);
    writeValue(state, kBase, L"isLogined", state.loggedIn ? "OK" : "NG");
}

void writeAppInfo(const TrackerState& state, const std::string& appStore, const std::string& appName,
                  const std::string& appVersion) {
    writeValue(state, kUninstallInfo, L"AppStore", appStore);
    writeValue(state, kUninstallInfo, L"AppName", appName);
    writeValue(state, kUninstallInfo, L"AppVersion", appVersion);
}

} // namespace quxin::tracking
