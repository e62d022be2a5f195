#pragma once

#include "analytics/tracker/TrackerState.h"

#include <string>

// The identity file: the machine's and the user's ids, the login state and the collector they belong
// to, kept per application across runs (a profile file, sections "Base" and "UninstallInfo").
namespace quxin::tracking {

// Finds the data folder and the identity file: the path "QXAnalyticsIni" of section "Install" of
// "Set.ini" in `settingsFolder` when it holds a folder, else "<local data>/QXLocal/<appName>/" with
// "<appName>_QXSConfigure.ini". Creates the folder. Fills dataFolder, identityFile and stagingFile.
void resolveFiles(TrackerState& state, const std::wstring& settingsFolder, const std::string& appName);

// Reads the "Base" keys; a missing distinct id gets a new device id, saved at once.
void loadIdentity(TrackerState& state);
// A different collector, or no id, starts over from the machine's id, logged out.
void reconcileWithUrl(TrackerState& state, const std::string& url);
void saveIdentity(const TrackerState& state);
// Which application last initialised the tracker (section "UninstallInfo").
void writeAppInfo(const TrackerState& state, const std::string& appStore, const std::string& appName,
                  const std::string& appVersion);

} // namespace quxin::tracking
