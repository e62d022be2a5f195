#pragma once

#include <string>

namespace quxin::tracking {

// The tracker's persisted identity and the places of its files. Strings are in the system's 8-bit
// code page, as they are read from and written to disk. Read and written only by the thread that
// initialises, logs in or destroys the tracker.
struct TrackerState {
    bool loggedIn{false};
    std::string userId;            // the logged-in user, empty when none
    std::string distinctId;        // stamped on records; the user id after a login
    std::string primaryDistinctId; // the machine's anonymous id; survives logins
    int vipLevel{0};
    std::string serverUrl; // the collector the stored identity belongs to
    std::string logPath;
    std::string storedLocale; // from setLocale
    std::string dataFolder;   // ends with a separator
    std::string identityFile;
    std::string stagingFile; // records that could not be sent, for the next run
};

} // namespace quxin::tracking
