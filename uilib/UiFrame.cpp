#include "uilib/UiFrame.h"

namespace UiLib {

namespace {

// The shadow realised by the display the window is on.
class DisplayShadow final : public ShadowSurface {
public:
    explicit DisplayShadow(WindowHandle owner) : m_Owner(owner) {}

    void update(const Platform::Rect& rect, const ShadowBitmap& pixels) override {
        Platform::SetWindowShadow(m_Owner, rect, {pixels.pixels.data(), pixels.width, pixels.height});
    }
    void move(Platform::Point topLeft) override { Platform::MoveWindowShadow(m_Owner, topLeft); }
    void show() override { Platform::ShowWindowShadow(m_Owner, true); }
    void hide() override { Platform::ShowWindowShadow(m_Owner, false); }
    void destroy() override { Platform::RemoveWindowShadow(m_Owner); }

private:
    WindowHandle m_Owner;
};

} // namespace

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
    if (m_Shadow.ApplyLayoutAttributes(m_PaintManager) && Platform::ShadowsSupported())
        m_Shadow.Create(*this, std::make_unique<DisplayShadow>(m_hWnd));
}

LResult CUiFrame::HandleMessage(unsigned message, WParam wParam, LParam lParam) {
    m_Shadow.OnOwnerMessage(message, wParam, lParam);
    return WindowImplBase::HandleMessage(message, wParam, lParam);
}

Platform::Rect CUiFrame::windowRect() const {
    return Platform::GetWindowRect(m_hWnd);
}

std::optional<Platform::WindowRegion> CUiFrame::region() const {
    return Platform::GetWindowRegion(m_hWnd);
}

ShadowOwner::State CUiFrame::state() const {
    if (!Platform::IsWindowVisible(m_hWnd))
        return State::Hidden;
    if (Platform::IsIconic(m_hWnd) || Platform::IsZoomed(m_hWnd))
        return State::MinimisedOrMaximised;
    return State::Shown;
}

} // namespace UiLib
