#include "utils/Privileges.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

TEST(Privileges, AdministratorMeansEffectiveRoot) {
    EXPECT_EQ(Utils::IsAdministrator(), geteuid() == 0);
}

TEST(Privileges, AdminAccountNeedsAnExistingPrivilegedAccount) {
    EXPECT_TRUE(Utils::IsAdminAccount(L"root"));
    EXPECT_FALSE(Utils::IsAdminAccount(L"tovaclip-no-such-user"));
    EXPECT_FALSE(Utils::IsAdminAccount(L""));
    // An ordinary system account, where the system has one.
    if (getpwnam("nobody")) {
        EXPECT_FALSE(Utils::IsAdminAccount(L"nobody"));
    }
}

TEST(Privileges, ConsoleUserIsReadOrTheTextIsLeftAlone) {
    std::wstring name = L"unchanged";
    if (Utils::GetConsoleUserName(name)) {
        EXPECT_FALSE(name.empty());
    } else {
        EXPECT_EQ(name, L"unchanged");
    }
}
