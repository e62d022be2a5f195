#include "ui/SequenceLabelUI.h"

namespace UiLib {

CSequenceLabelUI::~CSequenceLabelUI() {
    m_Animation.KillTimer(*this);
}

CControlUI* CSequenceLabelUI::GetInterface(std::wstring_view name) {
    return name == L"SequenceLabel" ? this : CLabelUI::GetInterface(name);
}

void CSequenceLabelUI::DoInit() {
    m_Animation.Init(*this);
}

void CSequenceLabelUI::DoEvent(TEventUI& event) {
    CLabelUI::DoEvent(event);
    m_Animation.OnEvent(*this, event);
}

void CSequenceLabelUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (!m_Animation.SetAttribute(name, value))
        CLabelUI::SetAttribute(name, value);
}

} // namespace UiLib
