#include "tests/support/TestSupport.h"
#include "tests/x11/X11Fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// skin-preview --x11 on the test server, its output read until it shows its first frame.
class PreviewProcess {
public:
    explicit PreviewProcess(const std::string& layout) {
        int out[2];
        if (pipe(out) != 0)
            return;
        m_Pid = fork();
        if (m_Pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            const std::string tool = TestSupport::BinPath("skin-preview").string();
            const std::string skin = std::string(TOVACLIP_SOURCE_DIR) + "/skin";
            execl(tool.c_str(), tool.c_str(), "--x11", "--skin", skin.c_str(), "--layout", layout.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        m_Output = fdopen(out[0], "r");
    }
    ~PreviewProcess() {
        if (m_Pid > 0 && !m_Exited) {
            kill(m_Pid, SIGKILL);
            waitpid(m_Pid, nullptr, 0);
        }
        if (m_Output)
            fclose(m_Output);
    }

    bool ShowsFirstFrame() {
        char line[256];
        while (m_Output && std::fgets(line, sizeof line, m_Output))
            if (std::string(line) == "first frame\n")
                return true;
        return false;
    }
    // The exit status, or -1 while it still runs after `milliseconds`.
    int WaitForExit(int milliseconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(m_Pid, &status, WNOHANG) == m_Pid) {
                m_Exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

private:
    pid_t m_Pid = -1;
    FILE* m_Output = nullptr;
    bool m_Exited = false;
};

int Xdotool(const std::string& arguments) {
    return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str());
}

// The preview's window on the screen: its X window and position.
bool FindPreview(Window& window, Platform::Rect& rect) {
    FILE* search = popen("xdotool search --name '^skin-preview$' 2>/dev/null", "r");
    unsigned long id = 0;
    const bool found = search && std::fscanf(search, "%lu", &id) == 1;
    if (search)
        pclose(search);
    if (!found)
        return false;
    window = id;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(X11Fixture::Observer(), window, &attributes))
        return false;
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(X11Fixture::Observer(), window, DefaultRootWindow(X11Fixture::Observer()), 0, 0,
                          &left, &top, &child);
    rect = {left, top, left + attributes.width, top + attributes.height};
    return true;
}

} // namespace

TEST(SkinPreviewX11, ShowsARealWindowThatDragsIgnoresEscapeAndClosesByItsCloseButton) {
    PreviewProcess preview("MainWnd.xml");
    ASSERT_TRUE(preview.ShowsFirstFrame());
    Window window = 0;
    Platform::Rect before;
    ASSERT_TRUE(FindPreview(window, before));
    EXPECT_EQ(before.width(), 600);
    EXPECT_EQ(before.height(), 400);

    // Escape first; the drag after it shows that the window has taken both.
    ASSERT_EQ(
        Xdotool("key --window " + std::to_string(window) + " Escape mousemove " +
                std::to_string(before.left + 100) + " " + std::to_string(before.top + 20) +
                " mousedown 1 sleep 0.2 mousemove_relative 30 20 sleep 0.2 mousemove_relative 20 10 sleep 0.3"
                " mouseup 1 sleep 0.2"),
        0);
    Platform::Rect after;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (FindPreview(window, after) && after == before && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(after, Offset(before, 50, 30));
    EXPECT_EQ(preview.WaitForExit(0), -1) << "Escape closed the window";

    // The close button at the right of the title bar ends it.
    ASSERT_EQ(Xdotool("mousemove " + std::to_string(after.right - 20) + " " + std::to_string(after.top + 20) +
                      " click 1"),
              0);
    EXPECT_EQ(preview.WaitForExit(5000), 0);
}
