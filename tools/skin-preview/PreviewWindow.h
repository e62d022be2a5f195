#pragma once

#include "platform/display/x11/X11Display.h"
#include "uilib/UiFrame.h"

#include <memory>
#include <string>

// One layout of the skin that SkinResources::Process() points at, as the installer's windows build
// it: the framework's controls and the installer's own.
class PreviewWindow : public UiLib::CUiFrame {
public:
    explicit PreviewWindow(const std::wstring& layoutFile);

    // Creates the window (the layout's size, when it gives one, replaces the default size), shows it and
    // paints it. On an X server (`screen`) the window is centred and Open returns once the server
    // shows it painted. False when the window cannot be created.
    bool Open(Platform::X11Display* screen = nullptr);
    std::unique_ptr<UiLib::CControlUI> CreateControl(const std::wstring& className) override;

protected:
    // Closing the window ends the program's loop.
    void OnFinalMessage(Platform::WindowHandle window) override;
};
