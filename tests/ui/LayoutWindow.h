#pragma once

#include "platform/window/WindowSystem.h"
#include "ui/InstallerControls.h"
#include "uilib/UiFrame.h"

#include <string>

// A window of the framework on the headless display, built from layout markup given as text, with
// the installer's controls.
class LayoutWindow : public UiLib::CUiFrame {
public:
    explicit LayoutWindow(const std::wstring& markup)
        : CUiFrame(UiLib::FrameParams{UiLib::ResourceType::File, 0, {}, markup, L"LayoutWindow"}) {
        Create(Platform::kNoWindow, L"LayoutWindow", Platform::Style::kPopup, 0, {0, 0, 100, 100});
    }
    ~LayoutWindow() override {
        if (GetHWND() != Platform::kNoWindow)
            Platform::DestroyNativeWindow(GetHWND());
    }

    std::unique_ptr<UiLib::CControlUI> CreateControl(const std::wstring& className) override {
        return UiLib::CreateInstallerControl(className);
    }

    UiLib::CControlUI& Control(const std::wstring& name) {
        UiLib::CControlUI* control = GetManager().FindControl(name);
        if (!control)
            throw std::runtime_error("no such control in the layout");
        return *control;
    }

    // Whether the control's frame timer runs; asking leaves it as it was.
    bool SequenceTimerRuns(UiLib::CControlUI& control) {
        constexpr unsigned kTimerId = 2100;
        if (!GetManager().SetTimer(&control, kTimerId, 1000))
            return true;
        GetManager().KillTimer(&control, kTimerId);
        return false;
    }

    // Handles every message that is ready now.
    static void Pump() {
        Platform::Message message;
        while (Platform::PeekMessage(message))
            if (!UiLib::CWindowManagerUI::TranslateMessage(message))
                Platform::DispatchMessage(message);
    }
};
