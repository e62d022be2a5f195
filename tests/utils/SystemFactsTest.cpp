#include "utils/Folders.h"
#include "utils/Guid.h"
#include "utils/HardDiskManager.h"
#include "utils/Integrity.h"
#include "utils/Network.h"
#include "utils/Stopwatch.h"
#include "utils/SystemIdentity.h"

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sys/utsname.h>

namespace fs = std::filesystem;
using TestSupport::TempDir;

TEST(Folders, CreateDirectoriesMakesEveryLevel) {
    TempDir dir;
    std::wstring path = dir.wide() + L"/a/b/c";
    EXPECT_TRUE(Utils::CreateDirectories(path));
    EXPECT_TRUE(fs::is_directory(dir.path() / "a" / "b" / "c"));
    EXPECT_TRUE(Utils::CreateDirectories(path)); // already there
    EXPECT_TRUE(Utils::CreateDirectories(dir.wide() + L"/d/"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "d"));
    EXPECT_TRUE(Utils::CreateDirectories(dir.wide() + L"/安装/目录"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "安装" / "目录"));
}

TEST(Folders, CreateDirectoriesRefusesLongPathsAndBlockedLevels) {
    TempDir dir;
    EXPECT_FALSE(Utils::CreateDirectories(dir.wide() + L"/" + std::wstring(260, L'x')));
    TestSupport::WriteFile(dir.path() / "file", "x");
    EXPECT_FALSE(Utils::CreateDirectories(dir.wide() + L"/file/sub"));
}

TEST(Folders, TempDirIsCreatedOnceInTheUserTempPath) {
    std::wstring first = Utils::GetTempDir();
    std::wstring expected = fs::path(std::getenv("TMPDIR")).wstring() + L"/~QuXinTemp.92482B06FB471E17/";
    EXPECT_EQ(first, expected);
    EXPECT_TRUE(fs::is_directory(first));
    TestSupport::WriteFile(fs::path(first) / "marker", "x");
    EXPECT_EQ(Utils::GetTempDir(), first);
    EXPECT_TRUE(fs::exists(fs::path(first) / "marker"));
}

TEST(SystemFacts, GuidTextHasItsFixedForm) {
    std::wstring a = Utils::NewGuidText(), b = Utils::NewGuidText();
    std::wregex form(L"[0-9A-F]{8}[0-9A-F]{4}4[0-9a-f]{3}[89AB][0-9A-F]{15}");
    EXPECT_TRUE(std::regex_match(a, form)) << a.c_str();
    EXPECT_NE(a, b);
}

TEST(SystemFacts, FreeSpaceOfAFolderNotYetMade) {
    TempDir dir;
    Utils::HardDiskManager disk;
    ASSERT_TRUE(disk.CheckFreeSpace(dir.wide() + L"/not/yet/made"));
    EXPECT_GT(disk.m_TotalBytes, 0u);
    EXPECT_LE(disk.m_FreeBytesAvailable, disk.m_TotalFreeBytes);
    EXPECT_LE(disk.m_TotalFreeBytes, disk.m_TotalBytes);
    Utils::HardDiskManager nowhere;
    EXPECT_FALSE(nowhere.CheckFreeSpace(L"relative/path"));
    EXPECT_EQ(nowhere.m_TotalBytes, 0u);
}

TEST(SystemFacts, OperatingSystemNameOfThisMachine) {
    std::wstring family, name;
    Utils::GetOsVersionName(family, name);
    EXPECT_EQ(family, L"Linux");
    // This machine has /etc/os-release; its NAME and VERSION_ID make the name.
    auto release = TestSupport::RunCommand(". /etc/os-release && printf '%s %s' \"$NAME\" \"$VERSION_ID\"");
    EXPECT_EQ(name, fs::path(release.output).wstring());
    utsname info{};
    uname(&info);
    EXPECT_EQ(Utils::Is64BitSystem(), std::string(info.machine).find("64") != std::string::npos);
}

TEST(SystemFacts, StopwatchCountsOnlyWhileRunning) {
    Utils::Stopwatch watch;
    EXPECT_EQ(watch.Elapsed(), 0.0f);
    watch.m_StartTick = Utils::TickCount() - 2500;
    watch.m_Running = true;
    EXPECT_GE(watch.Elapsed(), 2.5f);
    EXPECT_LT(watch.Elapsed(), 60.0f);
    watch.m_StartTick = Utils::TickCount() + 1000; // started "in the future": the tick wrapped
    EXPECT_GT(watch.Elapsed(), 4.0e6f);
    watch.Stop();
    EXPECT_EQ(watch.Elapsed(), 0.0f);
}

TEST(Network, ConnectivityStatesMapToFlagsAndVerdicts) {
    struct Case {
        std::optional<uint32_t> connectivity;
        uint32_t expected;
    } cases[] = {
        {std::nullopt, 0}, {0u, 0}, {1u, 0x10000}, {2u, 0x20020}, {3u, 0x20020}, {4u, 0x40},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utils::NetworkStateFromConnectivity(c.connectivity), c.expected);
}

TEST(Network, NoNetworkManagerCountsAsCouldNotAsk) {
    ScopedEnvironment environment;
    environment.Set("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket");
    EXPECT_EQ(Utils::CheckNetwork(), 0u);
}

TEST(Integrity, FileMd5ReadsTheWholeFile) {
    TempDir dir;
    struct Case {
        std::string bytes, md5;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {std::string(3000, 'a'), ""},
    };
    // The 3000-byte case crosses block boundaries; its digest comes from md5sum of the same bytes.
    TestSupport::WriteFile(dir.path() / "big", cases[2].bytes);
    cases[2].md5 =
        TestSupport::RunCommand("md5sum '" + (dir.path() / "big").string() + "' | cut -c1-32").output;
    cases[2].md5.pop_back();
    for (const auto& c : cases) {
        TestSupport::WriteFile(dir.path() / "f", c.bytes);
        EXPECT_EQ(Utils::FileMd5(dir.wide() + L"/f"), c.md5);
    }
    EXPECT_EQ(Utils::FileMd5(L""), "");
    EXPECT_EQ(Utils::FileMd5(dir.wide() + L"/missing"), "");
}

TEST(Integrity, LastDirSegmentIsTheFolderBeforeTheFileName) {
    struct Case {
        std::string url, expected;
    } cases[] = {
        {"http://h/software/0123456789abcdef0123456789abcdef/Tovaclip.exe",
         "0123456789abcdef0123456789abcdef"},
        {"http://host/file.exe", "host"},
        {"file.exe", ""},
        {"/file.exe", ""},
        {"a//b", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utils::LastDirSegment(c.url), c.expected) << c.url;
}
