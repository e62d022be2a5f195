#include "ui/SequenceButtonUI.h"

#include "uilib/WindowManagerUI.h"

#include <cstddef>

namespace UiLib {

CSequenceButtonUI::~CSequenceButtonUI() {
    m_Animation.KillTimer(*this);
}

CControlUI* CSequenceButtonUI::GetInterface(std::wstring_view name) {
    return name == L"SequenceButton" ? this : CButtonUI::GetInterface(name);
}

void CSequenceButtonUI::DoInit() {
    m_Animation.Init(*this);
}

void CSequenceButtonUI::DoEvent(TEventUI& event) {
    CButtonUI::DoEvent(event);
    m_Animation.OnEvent(*this, event);
}

void CSequenceButtonUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (!m_Animation.SetAttribute(name, value))
        CButtonUI::SetAttribute(name, value);
}

void CSequenceButtonUI::SetFirstExtraText(const std::wstring& text) {
    m_FirstExtraText = text;
    Invalidate();
}

void CSequenceButtonUI::SetSecondExtraText(const std::wstring& text) {
    m_SecondExtraText = text;
    Invalidate();
}

void CSequenceButtonUI::SetPushedTextPadding(const Rect& padding) {
    m_PushedTextPadding = padding;
    Invalidate();
}

void CSequenceButtonUI::PaintText(Platform::Canvas& canvas) {
    const bool pushed = (m_ButtonState & ControlState::kPushed) != 0;
    if (!pushed || m_PushedTextPadding == Rect{} || m_Text.empty() || !m_Manager) {
        CButtonUI::PaintText(canvas);
        return;
    }
    const Rect& padding = m_PushedTextPadding;
    const Rect rect{m_Pos.left + padding.left, m_Pos.top + padding.top, m_Pos.right - padding.right,
                    m_Pos.bottom - padding.bottom};
    DrawLabelText(canvas, rect, m_PushedTextColor != 0 ? m_PushedTextColor : PlainTextColor());
}

bool CSequenceButtonUI::CopyChannel(const Platform::Surface& source, Platform::Surface& destination,
                                    int sourceByte, int destinationByte) {
    if (source.width() != destination.width() || source.height() != destination.height())
        return false;
    if (sourceByte < 0 || sourceByte > 3 || destinationByte < 0 || destinationByte > 3)
        return false;
    const std::uint8_t* from = source.data();
    std::uint8_t* to = destination.data();
    const size_t pixels = size_t(source.width()) * size_t(source.height());
    for (size_t i = 0; i < pixels; ++i)
        to[i * 4 + size_t(destinationByte)] = from[i * 4 + size_t(sourceByte)];
    destination.markDirty();
    return true;
}

} // namespace UiLib
