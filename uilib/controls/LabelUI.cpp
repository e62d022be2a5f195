#include "uilib/controls/LabelUI.h"

#include "uilib/Colour.h"
#include "uilib/NumberList.h"
#include "uilib/WindowManagerUI.h"

namespace UiLib {

namespace TS = Platform::TextStyle;

CLabelUI::CLabelUI() : m_TextStyle(TS::kLeft | TS::kVCenter | TS::kSingleLine) {}

CControlUI* CLabelUI::GetInterface(std::wstring_view name) {
    return name == L"Label" ? this : CControlUI::GetInterface(name);
}

void CLabelUI::SetTextStyle(unsigned style) {
    m_TextStyle = style;
    Invalidate();
}

void CLabelUI::SetTextColor(std::uint32_t argb) {
    m_TextColor = argb;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(std::uint32_t argb) {
    m_DisabledTextColor = argb;
    Invalidate();
}

void CLabelUI::SetFont(int font) {
    m_Font = font;
    Invalidate();
}

void CLabelUI::SetTextPadding(const Rect& padding) {
    m_TextPadding = padding;
    Invalidate();
}

void CLabelUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    // Alignment words are looked for inside the value, in this order, so the last one found wins.
    if (name == L"align") {
        if (value.find(L"left") != std::wstring::npos)
            m_TextStyle = (m_TextStyle & ~(TS::kCenter | TS::kRight)) | TS::kLeft;
        if (value.find(L"center") != std::wstring::npos)
            m_TextStyle = (m_TextStyle & ~TS::kRight) | TS::kCenter;
        if (value.find(L"right") != std::wstring::npos)
            m_TextStyle = (m_TextStyle & ~TS::kCenter) | TS::kRight;
        Invalidate();
    } else if (name == L"valign") {
        if (value.find(L"top") != std::wstring::npos)
            m_TextStyle = (m_TextStyle & ~(TS::kBottom | TS::kVCenter)) | TS::kTop;
        if (value.find(L"vcenter") != std::wstring::npos)
            m_TextStyle = (m_TextStyle & ~TS::kBottom) | TS::kVCenter;
        if (value.find(L"bottom") != std::wstring::npos)
            m_TextStyle = (m_TextStyle & ~TS::kVCenter) | TS::kBottom;
        Invalidate();
    } else if (name == L"endellipsis") {
        SetTextStyle(ParseBool(value) ? m_TextStyle | TS::kEndEllipsis : m_TextStyle & ~TS::kEndEllipsis);
    } else if (name == L"multiline") {
        SetTextStyle(ParseBool(value) ? (m_TextStyle & ~TS::kSingleLine) | TS::kWordBreak
                                      : (m_TextStyle & ~TS::kWordBreak) | TS::kSingleLine);
    } else if (name == L"font") {
        SetFont(ParseInt(value));
    } else if (name == L"textcolor") {
        SetTextColor(ParseColour(value));
    } else if (name == L"disabledtextcolor") {
        SetDisabledTextColor(ParseColour(value));
    } else if (name == L"textpadding") {
        SetTextPadding(ParseRect(value));
    } else if (name == L"showhtml") {
        m_ShowHtml = ParseBool(value);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

Rect CLabelUI::TextRect() const {
    return {m_Pos.left + m_TextPadding.left, m_Pos.top + m_TextPadding.top, m_Pos.right - m_TextPadding.right,
            m_Pos.bottom - m_TextPadding.bottom};
}

std::uint32_t CLabelUI::PlainTextColor() const {
    if (IsEnabled())
        return m_TextColor != 0 ? m_TextColor : m_Manager->GetDefaultFontColor();
    return m_DisabledTextColor != 0 ? m_DisabledTextColor : m_Manager->GetDefaultDisabledColor();
}

void CLabelUI::DrawLabelText(Platform::Canvas& canvas, const Rect& rect, std::uint32_t argb) const {
    if (m_Text.empty() || !m_Manager)
        return;
    canvas.drawText(m_Text, rect, m_Manager->GetFont(m_Font), argb, m_TextStyle | TS::kNoPrefix);
}

void CLabelUI::PaintText(Platform::Canvas& canvas) {
    if (m_Manager)
        DrawLabelText(canvas, TextRect(), PlainTextColor());
}

} // namespace UiLib
