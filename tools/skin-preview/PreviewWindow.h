#pragma once

#include "uilib/UiFrame.h"

#include <memory>
#include <string>

// One layout of the skin that SkinResources::Process() points at, as the installer's windows build
// it: the framework's controls and the installer's own.
class PreviewWindow : public UiLib::CUiFrame {
public:
    explicit PreviewWindow(const std::wstring& layoutFile);
    ~PreviewWindow() override;

    // Creates the window (the layout's size, when it gives one, replaces the default size), shows it and
    // paints it. False when the window cannot be created.
    bool Open();
    std::unique_ptr<UiLib::CControlUI> CreateControl(const std::wstring& className) override;
};
