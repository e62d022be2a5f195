#pragma once

#include "analytics/tracker/TrackerConfig.h"
#include "platform/ProfileFile.h"
#include "platform/TextCodec.h"
#include "tests/analytics/AnalyticsTestSupport.h"
#include "tests/analytics/CollectorProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

// A tracker's world of its own: a fresh data folder, a fixed locale, the installer's start values.
class TrackerTest : public testing::Test {
protected:
    static constexpr const char* kAppName = "Tovaclip.downloader";

    quxin::tracking::TrackerConfig config(const std::string& url) const {
        quxin::tracking::TrackerConfig config;
        config.appName = kAppName;
        config.appVersion = "1.7.9";
        config.appStore = "TovaclipSetup";
        config.dlAppId = "Tovaclip";
        config.serverUrl = url;
        config.settingsFolder = m_Dir.wide();
        return config;
    }

    std::filesystem::path dataFolder() const { return m_Dir.path() / "data" / "QXLocal" / kAppName; }
    std::filesystem::path identityFile() const {
        return dataFolder() / (std::string(kAppName) + "_QXSConfigure.ini");
    }
    std::filesystem::path stagingFile() const {
        return dataFolder() / (std::string(kAppName) + "_QXSStaging.txt");
    }

    std::string identity(const char* section, const char* key) const {
        return Platform::ToUtf8(Platform::GetProfileString(Platform::FromUtf8(section),
                                                           Platform::FromUtf8(key), L"<absent>",
                                                           identityFile().wstring(), 128));
    }

    // The records waiting in the staging file, one per line.
    std::vector<std::string> stagedRecords() const {
        std::vector<std::string> lines;
        std::string text = TestSupport::ReadFile(stagingFile());
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    TestSupport::TempDir m_Dir;
    ScopedEnvironment m_Data{"XDG_DATA_HOME", (m_Dir.path() / "data").string()};
    ScopedEnvironment m_LcAll{"LC_ALL", std::nullopt};
    ScopedEnvironment m_LcMessages{"LC_MESSAGES", std::nullopt};
    ScopedEnvironment m_Lang{"LANG", "de_DE.UTF-8"};
};

// The properties of a record received by the collector.
inline const Json::Value& PropertiesOf(const Json::Value& record) {
    return record["properties"];
}
