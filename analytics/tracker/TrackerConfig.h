#pragma once

#include <memory>
#include <string>

namespace quxin::tracking {

class UsageTrackerWrapper;

// What a tracker is started with. Strings are UTF-8.
struct TrackerConfig {
    static constexpr int kEditionChina = 0;
    static constexpr int kEditionOverseas = 1;

    std::string appName;
    std::string appVersion;
    std::string appStore; // the distribution channel
    std::string dlAppId;  // the application being installed
    std::string dlAppVersion;
    std::string logPath; // empty: derived from the data folder
    int edition{kEditionChina};
    std::string serverUrl; // empty: the default collector
    // The primary screen, reported with every event; 0 where there is no display.
    int screenWidth{0};
    int screenHeight{0};
    // Where "Set.ini" of an installed product may name the identity file; empty: the executable's folder.
    std::wstring settingsFolder;

    // A tracker with these values. It exists even when its initialisation failed; it then records
    // nothing.
    std::shared_ptr<UsageTrackerWrapper> createTracker() const;
};

} // namespace quxin::tracking
