#pragma once

#include "platform/TextCodec.h"
#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

// The sample setup package copied into a fresh directory under `name`, without execute permission,
// as a download leaves it.
class SamplePackage {
public:
    explicit SamplePackage(const std::string& name = "tovaclip-setup.exe") : m_Path(m_Dir.path() / name) {
        std::filesystem::copy_file(TestSupport::BinPath("tovaclip-sample-package"), m_Path);
        std::filesystem::permissions(m_Path, std::filesystem::perms(0644));
    }

    const std::filesystem::path& Path() const { return m_Path; }
    std::wstring WidePath() const { return Platform::FromUtf8(m_Path.string()); }
    const std::filesystem::path& Dir() const { return m_Dir.path(); }

private:
    TestSupport::TempDir m_Dir;
    std::filesystem::path m_Path;
};

// Sets one environment variable (a scenario of the sample package) for one test.
class ScenarioVariable {
public:
    ScenarioVariable(const char* name, const std::string& value) : m_Name(name) {
        if (const char* old = std::getenv(name))
            m_Old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScenarioVariable() {
        if (m_Old)
            setenv(m_Name.c_str(), m_Old->c_str(), 1);
        else
            unsetenv(m_Name.c_str());
    }
    ScenarioVariable(const ScenarioVariable&) = delete;
    ScenarioVariable& operator=(const ScenarioVariable&) = delete;

private:
    std::string m_Name;
    std::optional<std::string> m_Old;
};

inline std::wstring Wide(const std::filesystem::path& path) {
    return Platform::FromUtf8(path.string());
}
