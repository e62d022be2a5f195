#include "tools/skin-preview/PreviewWindow.h"

#include "platform/window/WindowSystem.h"
#include "ui/InstallerControls.h"

namespace {

// For a layout without a "size" on its root.
constexpr Platform::Rect kDefaultRect{0, 0, 640, 480};

// Handles what is ready until nothing but timers remains. Timer ticks are dropped, so the picture is
// the layout as first painted, whatever the speed of the machine (a sequence shows no frame yet).
void PaintOnce() {
    Platform::Message message;
    while (Platform::PeekMessage(message)) {
        if (message.message == Platform::Msg::kTimer)
            continue;
        if (!UiLib::CWindowManagerUI::TranslateMessage(message))
            Platform::DispatchMessage(message);
    }
}

} // namespace

PreviewWindow::PreviewWindow(const std::wstring& layoutFile)
    : CUiFrame(UiLib::FrameParams{UiLib::ResourceType::File, 0, {}, layoutFile, L"SkinPreview"}) {}

bool PreviewWindow::Open(Platform::X11Display* screen) {
    if (Create(Platform::kNoWindow, L"skin-preview", Platform::Style::kPopup, 0, kDefaultRect) ==
        Platform::kNoWindow)
        return false;
    if (!screen) {
        ShowWindow(true, false);
        PaintOnce();
        return true;
    }
    CenterWindow();
    ShowWindow(true, true);
    // A window manager maps the window in its own time; the frame counts once it is on the screen.
    // Mapping brings no message, so a short timer keeps the loop looking.
    constexpr std::uintptr_t kLookAgain = 0xFFFF;
    Platform::SetTimer(GetHWND(), kLookAgain, 2);
    Platform::Message message;
    while (!screen->isOnScreen(GetHWND()) && Platform::GetMessage(message)) {
        if (!UiLib::CWindowManagerUI::TranslateMessage(message))
            Platform::DispatchMessage(message);
    }
    Platform::KillTimer(GetHWND(), kLookAgain);
    Platform::InvalidateRect(GetHWND());
    Platform::UpdateWindow(GetHWND());
    screen->sync();
    return Platform::IsWindow(GetHWND());
}

void PreviewWindow::OnFinalMessage(Platform::WindowHandle window) {
    CUiFrame::OnFinalMessage(window);
    Platform::PostQuitMessage(0);
}

std::unique_ptr<UiLib::CControlUI> PreviewWindow::CreateControl(const std::wstring& className) {
    return UiLib::CreateInstallerControl(className);
}
