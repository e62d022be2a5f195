#pragma once

#include "platform/display/x11/X11Display.h"
#include "tests/uilib/LayoutWindow.h"
#include "tests/x11/XServer.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// The X11 display of this test run, the server it talks to, and an observer connection through
// which the tests look at the server the way another program would.
namespace X11Fixture {

Platform::X11Display& Backend();
XServer& Server();
// The tests' own connection; use it on the test thread only.
::Display* Observer();

// The X window of a window system window.
Window Native(Platform::WindowHandle window);

// Runs `command` (a shell command) on another thread while this thread runs its messages, as a
// user's action happens while the program waits for input. Returns the command's exit status.
int RunWhilePumping(const std::string& command);

// True once the window is shown on the server.
bool IsShown(Platform::WindowHandle window);
// The window's position on the screen as the server has it.
Platform::Rect ServerRect(Platform::WindowHandle window);

// The screen's pixels (0x00RRGGBB) in `rect`.
std::vector<std::uint32_t> Screenshot(const Platform::Rect& rect);

// A shell command running beside the test, its standard output readable line by line; killed when
// the object goes unless it has ended.
class Child {
public:
    explicit Child(const std::string& command);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The next line of its output without the line break; false at the end of the output.
    bool ReadLine(std::string& line);
    // The exit status, or -1 while it still runs after `milliseconds`.
    int WaitForExit(int milliseconds);

private:
    int m_Pid = -1;
    FILE* m_Output = nullptr;
    bool m_Exited = false;
};

// A top-level window of another program with this title: its X window and place on the screen.
// False when none appears within `milliseconds`.
bool FindWindow(const std::string& title, Window& window, Platform::Rect& rect, int milliseconds = 10000);

// The rectangle (window coordinates) of control `name` when skin-preview lays out `layout` of the
// installer's skin.
Platform::Rect ControlRect(const std::string& layout, const std::string& name);

} // namespace X11Fixture
