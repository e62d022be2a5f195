#include "utils/NamedMutex.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string installer() {
    return TestSupport::BinPath("TovaclipSetup").string();
}

} // namespace

TEST(EntryPoint, SecondInstanceExitsWithMinusOneAtOnce) {
    // This test process holds the installer's lock, as a running installer would.
    Utils::NamedMutex first(L"Installer_Tovaclip");
    first.Acquire();
    ASSERT_TRUE(first.Held());
    auto second = TestSupport::RunCommand(installer() + " -downloadtype=2 2>&1");
    EXPECT_EQ(second.status, 255); // -1 as an exit status
    EXPECT_EQ(second.output, "");

    // Free again, the installer gets past the lock to its window, which needs a display.
    first.Release();
    auto alone =
        TestSupport::RunCommand("env -u DISPLAY " + installer() + " -isenableappanalytics=false 2>&1");
    EXPECT_EQ(alone.status, 1);
    EXPECT_NE(alone.output.find("no display"), std::string::npos) << alone.output;
}

TEST(EntryPoint, InstanceLockIsExclusiveAndReentrant) {
    Utils::NamedMutex first(L"Installer_Test");
    first.Acquire();
    first.Acquire(); // holding it already: nothing changes
    EXPECT_TRUE(first.Held());
    Utils::NamedMutex second(L"Installer_Test");
    second.Acquire();
    EXPECT_FALSE(second.Held());
    first.Release();
    second.Acquire();
    EXPECT_TRUE(second.Held());
}
