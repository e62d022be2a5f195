#include "uilib/controls/ButtonUI.h"

#include "platform/window/WindowSystem.h"
#include "uilib/Colour.h"
#include "uilib/NumberList.h"
#include "uilib/WindowManagerUI.h"

namespace UiLib {

namespace TS = Platform::TextStyle;

CButtonUI::CButtonUI() {
    m_TextStyle = TS::kSingleLine | TS::kVCenter | TS::kCenter;
}

CControlUI* CButtonUI::GetInterface(std::wstring_view name) {
    return name == L"Button" ? this : CLabelUI::GetInterface(name);
}

void CButtonUI::SetState(unsigned bits, bool on) {
    const unsigned state = on ? m_ButtonState | bits : m_ButtonState & ~bits;
    if (state == m_ButtonState)
        return;
    m_ButtonState = state;
    Invalidate();
}

bool CButtonUI::Activate() {
    if (!CLabelUI::Activate())
        return false;
    Notify(L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    CLabelUI::SetEnabled(enabled);
    if (!enabled)
        m_ButtonState = 0;
}

void CButtonUI::SetNormalImage(const std::wstring& image) {
    m_NormalImage.setText(image);
    Invalidate();
}

void CButtonUI::SetHotImage(const std::wstring& image) {
    m_HotImage.setText(image);
    Invalidate();
}

void CButtonUI::SetPushedImage(const std::wstring& image) {
    m_PushedImage.setText(image);
    Invalidate();
}

void CButtonUI::SetFocusedImage(const std::wstring& image) {
    m_FocusedImage.setText(image);
    Invalidate();
}

void CButtonUI::SetDisabledImage(const std::wstring& image) {
    m_DisabledImage.setText(image);
    Invalidate();
}

void CButtonUI::SetForeImage(const std::wstring& image) {
    m_ForeImage.setText(image);
    Invalidate();
}

void CButtonUI::SetHotTextColor(std::uint32_t argb) {
    m_HotTextColor = argb;
    Invalidate();
}

void CButtonUI::SetPushedTextColor(std::uint32_t argb) {
    m_PushedTextColor = argb;
    Invalidate();
}

void CButtonUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"normalimage")
        SetNormalImage(value);
    else if (name == L"hotimage")
        SetHotImage(value);
    else if (name == L"pushedimage")
        SetPushedImage(value);
    else if (name == L"focusedimage")
        SetFocusedImage(value);
    else if (name == L"disabledimage")
        SetDisabledImage(value);
    else if (name == L"foreimage")
        SetForeImage(value);
    else if (name == L"hotforeimage")
        m_HotForeImage.setText(value);
    else if (name == L"pushedforeimage")
        m_PushedForeImage.setText(value);
    else if (name == L"hotbkcolor")
        m_HotBkColor = ParseColour(value);
    else if (name == L"pushedbkcolor")
        m_PushedBkColor = ParseColour(value);
    else if (name == L"disabledbkcolor")
        m_DisabledBkColor = ParseColour(value);
    else if (name == L"hottextcolor")
        SetHotTextColor(ParseColour(value));
    else if (name == L"pushedtextcolor")
        SetPushedTextColor(ParseColour(value));
    else if (name == L"focusedtextcolor")
        m_FocusedTextColor = ParseColour(value);
    else if (name == L"fadedelta")
        m_FadeStep = ParseInt(value);
    else
        CLabelUI::SetAttribute(name, value);
}

void CButtonUI::DoEvent(TEventUI& event) {
    using Platform::Key::kReturn;
    using Platform::Key::kSpace;
    const bool inside = m_Pos.contains(event.ptMouse);
    switch (event.Type) {
    case EventType::SetFocus:
    case EventType::KillFocus:
        CLabelUI::DoEvent(event);
        return;
    case EventType::KeyDown:
        if (IsKeyboardEnabled() && (event.chKey == kSpace || event.chKey == kReturn)) {
            Activate();
            return;
        }
        break;
    case EventType::ButtonDown:
    case EventType::DoubleClick:
        if (inside && IsEnabled())
            SetState(ControlState::kPushed | ControlState::kCaptured, true);
        return;
    case EventType::MouseMove:
        if (m_ButtonState & ControlState::kCaptured)
            SetState(ControlState::kPushed, inside);
        return;
    case EventType::ButtonUp:
        if (m_ButtonState & ControlState::kCaptured) {
            SetState(ControlState::kPushed | ControlState::kCaptured, false);
            if (inside && IsEnabled())
                Activate();
        }
        return;
    case EventType::MouseEnter:
        if (IsEnabled()) {
            SetState(ControlState::kHot, true);
            Notify(L"mouseenter", event.wParam, event.lParam);
        }
        return;
    case EventType::MouseLeave:
        if (IsEnabled()) {
            SetState(ControlState::kHot, false);
            Notify(L"mouseleave", event.wParam, event.lParam);
        }
        return;
    case EventType::SetCursor:
        if (m_Manager)
            Platform::SetCursor(m_Manager->GetPaintWindow(), Platform::Cursor::Hand);
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

std::uint32_t CButtonUI::StateTextColor() const {
    if ((m_ButtonState & ControlState::kPushed) && m_PushedTextColor != 0)
        return m_PushedTextColor;
    if ((m_ButtonState & ControlState::kHot) && m_HotTextColor != 0)
        return m_HotTextColor;
    if (IsFocused() && m_FocusedTextColor != 0)
        return m_FocusedTextColor;
    return PlainTextColor();
}

void CButtonUI::PaintText(Platform::Canvas& canvas) {
    if (m_Manager)
        DrawLabelText(canvas, TextRect(), IsEnabled() ? StateTextColor() : PlainTextColor());
}

void CButtonUI::PaintStatusImage(Platform::Canvas& canvas, const Rect& paint) {
    // The state's own image, or else the normal one.
    auto stateImage = [&](std::uint32_t bkColor, ImageDrawSpec& image) {
        DrawColor(canvas, m_Pos, bkColor);
        if (image.empty() || !DrawImage(canvas, paint, image))
            DrawImage(canvas, paint, m_NormalImage);
    };
    if (!IsEnabled()) {
        stateImage(m_DisabledBkColor, m_DisabledImage);
    } else if (m_ButtonState & ControlState::kPushed) {
        stateImage(m_PushedBkColor, m_PushedImage);
        if (!m_PushedForeImage.empty() && DrawImage(canvas, paint, m_PushedForeImage))
            return;
    } else if (m_ButtonState & ControlState::kHot) {
        stateImage(m_HotBkColor, m_HotImage);
        if (!m_HotForeImage.empty() && DrawImage(canvas, paint, m_HotForeImage))
            return;
    } else if (!(IsFocused() && !m_FocusedImage.empty() && DrawImage(canvas, paint, m_FocusedImage))) {
        DrawImage(canvas, paint, m_NormalImage);
    }
    DrawImage(canvas, paint, m_ForeImage);
}

} // namespace UiLib
