#include "tests/support/SilentMachine.h"
#include "tests/x11/X11Fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

using namespace X11Fixture;

namespace {

// Clicks the middle of control `name` of `layout` in a window shown at `window`.
void ClickControl(const Platform::Rect& window, const std::string& layout, const std::string& name) {
    const Platform::Rect control = Offset(ControlRect(layout, name), window.left, window.top);
    ASSERT_FALSE(control.isEmpty()) << name << " of " << layout;
    ASSERT_EQ(std::system(("xdotool mousemove " + std::to_string((control.left + control.right) / 2) + " " +
                           std::to_string((control.top + control.bottom) / 2) + " click 1 >/dev/null 2>&1")
                              .c_str()),
              0);
}

template <typename Condition> bool WaitFor(Condition condition, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace

TEST(InstallerWindow, InstallsFromTheWelcomePageAndClosesAtOnceWhenFinished) {
    TestSupport::SilentMachine machine;
    Child setup(machine.commandLine("", "", false) + " 2>/dev/null");
    Window window = 0;
    Platform::Rect rect;
    ASSERT_TRUE(FindWindow("Tovaclip", window, rect));
    EXPECT_EQ(rect.width(), 600);
    EXPECT_EQ(rect.height(), 400);

    ClickControl(rect, "MainWnd.xml", "defaultInstallBtn");
    // Registration comes once the finished page shows.
    ASSERT_TRUE(WaitFor([&] { return !machine.registryValue(L"InstallPath").empty(); }, 30000));
    EXPECT_TRUE(std::filesystem::exists(machine.installDir() / "Tovaclip.exe"));

    ClickControl(rect, "MainWnd.xml", "closebtn");
    EXPECT_EQ(setup.WaitForExit(10000), 0);
}

TEST(InstallerWindow, TheCloseButtonAsksFirstAndOnlyYesCloses) {
    TestSupport::SilentMachine machine;
    Child setup(machine.commandLine("", "", false) + " 2>/dev/null");
    Window window = 0, question = 0;
    Platform::Rect rect, tip;
    ASSERT_TRUE(FindWindow("Tovaclip", window, rect));

    ClickControl(rect, "MainWnd.xml", "closebtn");
    ASSERT_TRUE(FindWindow("消息框", question, tip));
    EXPECT_EQ(tip.width(), 360);
    ClickControl(tip, "ExitTipWnd.xml", "cancelBtn");
    ASSERT_TRUE(WaitFor([&] { return !FindWindow("消息框", question, tip, 0); }, 5000));
    EXPECT_EQ(setup.WaitForExit(300), -1) << "answering no closed the installer";

    ClickControl(rect, "MainWnd.xml", "closebtn");
    ASSERT_TRUE(FindWindow("消息框", question, tip));
    ClickControl(tip, "ExitTipWnd.xml", "okBtn");
    EXPECT_EQ(setup.WaitForExit(10000), 0);
    EXPECT_FALSE(std::filesystem::exists(machine.installDir() / "Tovaclip.exe"));
}
