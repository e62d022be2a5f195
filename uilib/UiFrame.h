#pragma once

#include "uilib/WindowImplBase.h"
#include "uilib/WindowShadow.h"

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

// The base of the installer's windows: its settings come from FrameParams, Escape never closes it,
// and the layout's shadow attributes give it a drop shadow where the display can show one.
class CUiFrame : public WindowImplBase, private ShadowOwner {
public:
    explicit CUiFrame(FrameParams params) : m_Params(std::move(params)) {}

    LResult MessageHandler(unsigned message, WParam wParam, LParam lParam, bool& handled) override;
    const FrameParams& Params() const { return m_Params; }
    const CWindowShadow& GetShadow() const { return m_Shadow; }

protected:
    std::wstring GetWindowClassName() const override { return m_Params.windowClassName; }
    std::wstring GetSkinFolder() const override { return m_Params.skinFolder; }
    std::wstring GetSkinFile() const override { return m_Params.layoutFile; }
    ResourceType GetResourceType() const override { return m_Params.resourceType; }
    int GetResourceID() const override { return m_Params.resourceId; }
    // Derived windows call this first in their own InitWindow.
    void InitWindow() override;
    // The shadow follows every message before the window handles it.
    LResult HandleMessage(unsigned message, WParam wParam, LParam lParam) override;

private:
    Platform::Rect windowRect() const override;
    std::optional<Platform::WindowRegion> region() const override;
    State state() const override;

    FrameParams m_Params;
    CWindowShadow m_Shadow;
};

} // namespace UiLib
