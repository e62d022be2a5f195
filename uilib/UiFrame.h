#pragma once

#include "uilib/WindowImplBase.h"

#include <string>

namespace UiLib {

// The settings of an installer window, given by the concrete window.
struct FrameParams {
    ResourceType resourceType = ResourceType::ZipResource;
    int resourceId = 147;
    std::wstring skinFolder;
    std::wstring layoutFile;      // for example "MainWnd.xml"
    std::wstring windowClassName; // for example "MainWnd"
};

// The base of the installer's windows: its settings come from FrameParams, and Escape never closes it.
class CUiFrame : public WindowImplBase {
public:
    explicit CUiFrame(FrameParams params) : m_Params(std::move(params)) {}

    LResult MessageHandler(unsigned message, WParam wParam, LParam lParam, bool& handled) override;
    const FrameParams& Params() const { return m_Params; }

protected:
    std::wstring GetWindowClassName() const override { return m_Params.windowClassName; }
    std::wstring GetSkinFolder() const override { return m_Params.skinFolder; }
    std::wstring GetSkinFile() const override { return m_Params.layoutFile; }
    ResourceType GetResourceType() const override { return m_Params.resourceType; }
    int GetResourceID() const override { return m_Params.resourceId; }
    // Derived windows call this first in their own InitWindow.
    void InitWindow() override;

private:
    FrameParams m_Params;
};

} // namespace UiLib
