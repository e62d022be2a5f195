#pragma once

#include "tests/support/DownloadServer.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <memory>
#include <string>

namespace TestSupport {

// A user's machine for silent installations: its own home, temporary, runtime and program folders,
// and a download server offering the sample package in its digest folder.
class SilentMachine {
public:
    SilentMachine();

    DownloadServer& server() { return *m_Server; }
    std::filesystem::path installDir() const { return m_Root.path() / "programs" / "Tovaclip"; }
    std::string url() const { return m_Server->url("/redirect/1/setup.exe"); }

    // Runs TovaclipSetup -silent=true against the server, with `environment` (for example
    // "TOVACLIP_SAMPLE_SCENARIO=fail") and `options` added. Analytics is off unless `options` turn it on.
    CommandResult install(const std::string& environment = "", const std::string& options = "");
    // The shell command that runs TovaclipSetup on this machine (with its window unless `silent`).
    std::string commandLine(const std::string& environment, const std::string& options, bool silent) const;

    void setTempDir(const std::filesystem::path& path) { m_TempDir = path.string(); }

    std::string registryValue(const std::wstring& name) const;
    std::string handOver(const std::wstring& section, const std::wstring& key) const;

private:
    TempDir m_Root;
    std::string m_TempDir{(m_Root.path() / "tmp").string()};
    std::unique_ptr<DownloadServer> m_Server;
};

} // namespace TestSupport
