#pragma once

#include "uilib/UiFrame.h"

#include <optional>
#include <string>

namespace UiLib {

// The layouts of the installer's questions and messages in the skin package.
inline constexpr const wchar_t* kExitTipLayout = L"ExitTipWnd.xml";
inline constexpr const wchar_t* kInstalledPathTipLayout = L"InstalledPathTipWnd.xml";
inline constexpr const wchar_t* kNetworkTipLayout = L"NetworkTipWnd.xml";
inline constexpr const wchar_t* kMessageBox1Layout = L"MessageBox1Wnd.xml";
inline constexpr const wchar_t* kMessageBox2Layout = L"MessageBox2Wnd.xml";

// The settings of a message window over `layoutFile` of the embedded skin package; the window class
// is the layout name without its extension ("ExitTipWnd.xml" gives "ExitTipWnd").
FrameParams MessageBoxParams(const std::wstring& layoutFile);

// A small modal window asking one question or showing one message. The answer tells which way it
// was closed.
class CMessageBoxWnd : public CUiFrame {
public:
    // The answers.
    static constexpr int kOk = 0;     // okBtn
    static constexpr int kCancel = 1; // cancelBtn, or closed without a click (system menu, Alt+F4)
    static constexpr int kOther = 2;  // any other button clicked, in practice closebtn

    explicit CMessageBoxWnd(FrameParams params) : CUiFrame(std::move(params)) {}

    // The whole round trip: opens the window over `parent`, fills in the text and caption where the
    // layout has labels for them, waits for the answer and returns it.
    static int Show(WindowHandle parent, const FrameParams& params,
                    const std::optional<std::wstring>& text = {},
                    const std::optional<std::wstring>& caption = {});

    // Show's round trip on this object, which must not have a window yet.
    int Run(WindowHandle parent, const std::optional<std::wstring>& text,
            const std::optional<std::wstring>& caption);

    int GetResult() const { return m_Result; }

protected:
    void InitWindow() override;
    void OnClick(NotifyMsg& msg) override;

private:
    int m_Result = kCancel;
    CControlUI* m_OkBtn = nullptr;
    CControlUI* m_CancelBtn = nullptr;
    CControlUI* m_TextLbl = nullptr;
    CControlUI* m_CaptionLbl = nullptr;
};

} // namespace UiLib
