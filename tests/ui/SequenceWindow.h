#pragma once

#include "platform/window/WindowSystem.h"
#include "ui/InstallerControls.h"
#include "ui/SequenceAnimation.h"
#include "uilib/UiFrame.h"

#include <stdexcept>
#include <string>

// A window of the framework on the headless display, built from layout markup given as text, with
// the installer's controls.
class SequenceWindow : public UiLib::CUiFrame {
public:
    explicit SequenceWindow(const std::wstring& markup)
        : CUiFrame(UiLib::FrameParams{UiLib::ResourceType::File, 0, {}, markup, L"SequenceWindow"}) {
        Create(Platform::kNoWindow, L"SequenceWindow", Platform::Style::kPopup, 0, {0, 0, 100, 100});
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
        if (!GetManager().SetTimer(&control, UiLib::kSequenceTimerId, 1000))
            return true;
        GetManager().KillTimer(&control, UiLib::kSequenceTimerId);
        return false;
    }
};

// One tick of a sequence control's frame timer, as its window manager delivers it.
inline void Tick(UiLib::CControlUI& control) {
    UiLib::TEventUI event;
    event.Type = UiLib::EventType::Timer;
    event.pSender = &control;
    event.wParam = UiLib::kSequenceTimerId;
    control.Event(event);
}
