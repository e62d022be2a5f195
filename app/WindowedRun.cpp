#include "app/WindowedRun.h"

#include "platform/display/x11/X11Display.h"
#include "platform/window/WindowSystem.h"
#include "ui/MainWnd.h"

#include <cstdio>

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitNoDisplay = 1;
// Visible overlapped window with caption, system menu, sizing frame, minimise and maximise boxes; the
// window takes off what it does not want when it initialises.
constexpr std::uint32_t kMainWindowStyle = 0x10CF0000;

} // namespace

int RunWindowedInstall() {
    std::unique_ptr<Platform::X11Display> display = Platform::X11Display::Open();
    if (!display) {
        std::fputs("TovaclipSetup: no display to show the installer on (DISPLAY is not set or the X server "
                   "cannot be reached); -silent=true installs without a window\n",
                   stderr);
        return kExitNoDisplay;
    }
    Platform::SetDisplayBackend(std::move(display));
    {
        // The window, its session and the session's pipeline workers are gone at the end of this
        // block, before the caller cleans up the HTTP library.
        UiLib::CMainWnd window;
        if (window.Create(Platform::kNoWindow, L"Tovaclip", kMainWindowStyle, 0, {}) != Platform::kNoWindow) {
            window.CenterWindow();
            window.ShowModal();
        }
    }
    return kExitSuccess;
}
