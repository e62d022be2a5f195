#include "tests/support/TestSupport.h"
#include "tests/x11/X11Fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

using namespace X11Fixture;

TEST(SkinPreviewX11, ShowsARealWindowThatDragsIgnoresEscapeAndClosesByItsCloseButton) {
    Child preview(TestSupport::BinPath("skin-preview").string() + " --x11 --skin " +
                  std::string(TOVACLIP_SOURCE_DIR) + "/skin --layout MainWnd.xml");
    std::string line;
    ASSERT_TRUE(preview.ReadLine(line));
    ASSERT_EQ(line, "first frame");
    Window window = 0;
    Platform::Rect before;
    ASSERT_TRUE(FindWindow("skin-preview", window, before));
    EXPECT_EQ(before.width(), 600);
    EXPECT_EQ(before.height(), 400);

    // Escape first; the drag after it shows that the window has taken both.
    ASSERT_EQ(
        std::system(("xdotool key --window " + std::to_string(window) + " Escape mousemove " +
                     std::to_string(before.left + 100) + " " + std::to_string(before.top + 20) +
                     " mousedown 1 sleep 0.2 mousemove_relative 30 20 sleep 0.2 mousemove_relative 20 10"
                     " sleep 0.3 mouseup 1 sleep 0.2 >/dev/null 2>&1")
                        .c_str()),
        0);
    Platform::Rect after = before;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (after == before && std::chrono::steady_clock::now() < deadline &&
           FindWindow("skin-preview", window, after))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(after, Offset(before, 50, 30));
    EXPECT_EQ(preview.WaitForExit(0), -1) << "Escape closed the window";

    // The layout's close button ends it.
    const Platform::Rect close = Offset(ControlRect("MainWnd.xml", "closebtn"), after.left, after.top);
    ASSERT_FALSE(close.isEmpty());
    ASSERT_EQ(std::system(("xdotool mousemove " + std::to_string((close.left + close.right) / 2) + " " +
                           std::to_string((close.top + close.bottom) / 2) + " click 1 >/dev/null 2>&1")
                              .c_str()),
              0);
    EXPECT_EQ(preview.WaitForExit(5000), 0);
}
