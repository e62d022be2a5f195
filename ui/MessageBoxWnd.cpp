#include "ui/MessageBoxWnd.h"

namespace UiLib {

FrameParams MessageBoxParams(const std::wstring& layoutFile) {
    const size_t dot = layoutFile.rfind(L'.');
    return FrameParams{ResourceType::ZipResource, 147, {}, layoutFile, layoutFile.substr(0, dot)};
}

int CMessageBoxWnd::Show(WindowHandle parent, const FrameParams& params,
                         const std::optional<std::wstring>& text,
                         const std::optional<std::wstring>& caption) {
    CMessageBoxWnd box(params);
    return box.Run(parent, text, caption);
}

int CMessageBoxWnd::Run(WindowHandle parent, const std::optional<std::wstring>& text,
                        const std::optional<std::wstring>& caption) {
    // Visible, overlapped; the framework strips the frame bits again once the layout is in. The
    // empty rectangle takes the layout's size as the layout is applied.
    constexpr std::uint32_t kStyle = 0x10CF0000;
    if (Create(parent, L"消息框", kStyle, 0, {0, 0, 0, 0}) == Platform::kNoWindow)
        return m_Result;
    // The question layouts have no labels: their texts are the skin's own.
    if (text && m_TextLbl)
        m_TextLbl->SetText(*text);
    if (caption && m_CaptionLbl)
        m_CaptionLbl->SetText(*caption);
    CenterWindow();
    ShowModal();
    return m_Result;
}

void CMessageBoxWnd::InitWindow() {
    CUiFrame::InitWindow();
    constexpr std::uint32_t kRemoved = 0x00C00000 | 0x00010000; // caption, maximise box
    constexpr std::uint32_t kAdded = 0x06000000;                // clip children and siblings
    Platform::SetWindowStyle(m_hWnd, (Platform::GetWindowStyle(m_hWnd) & ~kRemoved) | kAdded);
    // The topmost extended bit needs no clearing: the window is made with no extended style and
    // nothing gives it one later.
    m_OkBtn = m_PaintManager.FindControl(L"okBtn");
    m_CancelBtn = m_PaintManager.FindControl(L"cancelBtn");
    m_TextLbl = m_PaintManager.FindControl(L"textLbl");
    m_CaptionLbl = m_PaintManager.FindControl(L"captionLbl");
}

void CMessageBoxWnd::OnClick(NotifyMsg& msg) {
    if (msg.pSender == m_OkBtn) {
        Close(1);
        m_Result = kOk;
    } else if (msg.pSender == m_CancelBtn) {
        Close(1);
        m_Result = kCancel;
    } else {
        // The window base closes on closebtn (and answers the other system buttons).
        CUiFrame::OnClick(msg);
        m_Result = kOther;
    }
}

} // namespace UiLib
