#include "uilib/controls/OptionUI.h"

#include "uilib/Colour.h"
#include "uilib/NumberList.h"
#include "uilib/WindowManagerUI.h"

namespace UiLib {

CControlUI* COptionUI::GetInterface(std::wstring_view name) {
    return name == L"Option" ? this : CButtonUI::GetInterface(name);
}

void COptionUI::Selected(bool selected) {
    if (m_Selected == selected)
        return;
    m_Selected = selected;
    m_ButtonState = selected ? m_ButtonState | ControlState::kSelected : m_ButtonState & ~ControlState::kSelected;
    Invalidate();
    if (m_Manager && !m_GroupName.empty()) {
        if (!selected)
            return;
        if (CControlUI* root = m_Manager->GetRoot()) {
            root->ForEach([this](CControlUI& control) {
                auto* other = static_cast<COptionUI*>(control.GetInterface(L"Option"));
                if (other && other != this && other->m_GroupName == m_GroupName)
                    other->Selected(false);
            });
        }
    }
    Notify(L"selectchanged");
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate())
        return false;
    Selected(m_GroupName.empty() ? !m_Selected : true);
    return true;
}

void COptionUI::SetSelectedImage(const std::wstring& image) {
    m_SelectedImage.setText(image);
    Invalidate();
}

void COptionUI::SetSelectedTextColor(std::uint32_t argb) {
    m_SelectedTextColor = argb;
    Invalidate();
}

void COptionUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"group")
        SetGroup(value);
    else if (name == L"selected")
        Selected(ParseBool(value));
    else if (name == L"selectedimage")
        SetSelectedImage(value);
    else if (name == L"selectedhotimage")
        m_SelectedHotImage.setText(value);
    else if (name == L"selectedforeimage")
        m_SelectedForeImage.setText(value);
    else if (name == L"selectedbkcolor")
        m_SelectedBkColor = ParseColour(value);
    else if (name == L"selectedtextcolor")
        SetSelectedTextColor(ParseColour(value));
    else
        CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintStatusImage(Platform::Canvas& canvas, const Rect& paint) {
    const bool hasSelectedLook = m_SelectedBkColor != 0 || !m_SelectedImage.empty() || !m_SelectedHotImage.empty();
    if (!m_Selected || !hasSelectedLook) {
        CButtonUI::PaintStatusImage(canvas, paint);
        return;
    }
    DrawColor(canvas, m_Pos, m_SelectedBkColor);
    const bool hot = (m_ButtonState & ControlState::kHot) != 0;
    if (!(hot && !m_SelectedHotImage.empty() && DrawImage(canvas, paint, m_SelectedHotImage)))
        DrawImage(canvas, paint, m_SelectedImage);
    DrawImage(canvas, paint, m_SelectedForeImage);
}

void COptionUI::PaintText(Platform::Canvas& canvas) {
    if (m_Selected && m_SelectedTextColor != 0 && m_Manager)
        DrawLabelText(canvas, TextRect(), m_SelectedTextColor);
    else
        CButtonUI::PaintText(canvas);
}

} // namespace UiLib
