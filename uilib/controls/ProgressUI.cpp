#include "uilib/controls/ProgressUI.h"

#include "uilib/NumberList.h"
#include "uilib/WindowManagerUI.h"

#include <algorithm>

namespace UiLib {

CControlUI* CProgressUI::GetInterface(std::wstring_view name) {
    return name == L"Progress" ? this : CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
    m_Horizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int value) {
    m_Min = value;
    Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
    m_Max = value;
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    m_Value = value;
    Invalidate();
}

void CProgressUI::SetForeImage(const std::wstring& image) {
    m_ForeImage.setText(image);
    Invalidate();
}

Rect CProgressUI::ForegroundRect() const {
    const int low = m_Min;
    const int high = m_Max > m_Min ? m_Max : m_Min + 1;
    const int value = std::clamp(m_Value, low, high);
    // 64-bit products: a wide bar times a large range must not overflow.
    const long long range = static_cast<long long>(high) - low;
    if (m_Horizontal) {
        const int width = static_cast<int>(static_cast<long long>(m_Pos.width()) * (value - low) / range);
        return {m_Pos.left, m_Pos.top, m_Pos.left + width, m_Pos.bottom};
    }
    const int top = static_cast<int>(static_cast<long long>(high - value) * m_Pos.height() / range);
    return {m_Pos.left, m_Pos.top + top, m_Pos.right, m_Pos.bottom};
}

void CProgressUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"foreimage")
        SetForeImage(value);
    else if (name == L"hor")
        SetHorizontal(ParseBool(value));
    else if (name == L"min")
        SetMinValue(ParseInt(value));
    else if (name == L"max")
        SetMaxValue(ParseInt(value));
    else if (name == L"value")
        SetValue(ParseInt(value));
    else
        CLabelUI::SetAttribute(name, value);
}

void CProgressUI::PaintStatusImage(Platform::Canvas& canvas, const Rect& paint) {
    const Rect covered = ForegroundRect();
    if (m_Manager && !covered.isEmpty() && !m_ForeImage.empty())
        UiLib::DrawImage(canvas, *m_Manager, covered, paint, m_ForeImage);
}

} // namespace UiLib
