#pragma once

#include "tests/support/DownloadServer.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <random>
#include <string>

// A served folder with one package of a chosen size, a download server on it, and a target folder.
class DownloadFixture {
public:
    explicit DownloadFixture(size_t packageSize, const std::string& name = "pkg.bin") : m_Name(name) {
        std::mt19937 random(static_cast<unsigned>(packageSize));
        m_Bytes.resize(packageSize);
        for (char& byte : m_Bytes)
            byte = static_cast<char>(random());
        TestSupport::WriteFile(m_Served.path() / name, m_Bytes);
        m_Server = std::make_unique<TestSupport::DownloadServer>(m_Served.path());
        auto digest =
            TestSupport::RunCommand("md5sum '" + (m_Served.path() / name).string() + "' | cut -c1-32");
        m_Md5 = digest.output.substr(0, 32);
    }

    TestSupport::DownloadServer& server() { return *m_Server; }
    const std::string& bytes() const { return m_Bytes; }
    const std::string& md5() const { return m_Md5; }
    const std::string& name() const { return m_Name; }

    // Paths on the server: the package in its digest folder, or with another folder name.
    std::string digestPath() const { return "/" + m_Md5 + "/" + m_Name; }
    std::string folderPath(const std::string& folder) const { return "/" + folder + "/" + m_Name; }
    std::wstring url(const std::string& path) { return std::filesystem::path(m_Server->url(path)).wstring(); }

    std::filesystem::path target() const { return m_Target.path() / "package.exe"; }
    std::wstring targetWide() const { return target().wstring(); }
    std::string targetBytes() const { return TestSupport::ReadFile(target()); }

private:
    std::string m_Name;
    std::string m_Bytes;
    std::string m_Md5;
    TestSupport::TempDir m_Served;
    TestSupport::TempDir m_Target;
    std::unique_ptr<TestSupport::DownloadServer> m_Server;
};
