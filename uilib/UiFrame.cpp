#include "uilib/UiFrame.h"

namespace UiLib {

LResult CUiFrame::MessageHandler(unsigned message, WParam wParam, LParam lParam, bool& handled) {
    // An installer window is closed by its own buttons only.
    if (message == Platform::Msg::kKeyDown && wParam == Platform::Key::kEscape) {
        handled = true;
        return 0;
    }
    return WindowImplBase::MessageHandler(message, wParam, lParam, handled);
}

void CUiFrame::InitWindow() {
    constexpr std::uint32_t kCaptionAndMaximise = 0x00C00000 | 0x00010000;
    Platform::SetWindowStyle(m_hWnd, Platform::GetWindowStyle(m_hWnd) & ~kCaptionAndMaximise);
}

} // namespace UiLib
