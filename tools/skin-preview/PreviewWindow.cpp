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

PreviewWindow::~PreviewWindow() {
    if (GetHWND() != Platform::kNoWindow)
        Platform::DestroyNativeWindow(GetHWND());
}

bool PreviewWindow::Open() {
    if (Create(Platform::kNoWindow, L"skin-preview", Platform::Style::kPopup, 0, kDefaultRect) ==
        Platform::kNoWindow)
        return false;
    ShowWindow(true, false);
    PaintOnce();
    return true;
}

std::unique_ptr<UiLib::CControlUI> PreviewWindow::CreateControl(const std::wstring& className) {
    return UiLib::CreateInstallerControl(className);
}
