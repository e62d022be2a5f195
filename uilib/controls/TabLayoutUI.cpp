#include "uilib/controls/TabLayoutUI.h"

#include "uilib/NumberList.h"
#include "uilib/WindowManagerUI.h"

namespace UiLib {

CControlUI* CTabLayoutUI::GetInterface(std::wstring_view name) {
    return name == L"TabLayout" ? this : CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::AddAt(std::unique_ptr<CControlUI> control, int index) {
    CControlUI* added = control.get();
    if (!CContainerUI::AddAt(std::move(control), index))
        return false;
    const int at = GetItemIndex(added);
    if (m_CurSel != -1 && m_CurSel >= at)
        ++m_CurSel;
    if (m_CurSel == -1 && added->IsVisible())
        m_CurSel = at;
    else if (at != m_CurSel)
        added->SetVisible(false);
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control))
        return false;
    if (index == m_CurSel) {
        m_CurSel = -1;
        if (GetCount() > 0)
            SelectItem(0);
    } else if (index < m_CurSel) {
        --m_CurSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAll() {
    m_CurSel = -1;
    CContainerUI::RemoveAll();
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount())
        return false;
    if (index == m_CurSel)
        return true;
    const int old = m_CurSel;
    m_CurSel = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (i == index) {
            page->SetVisible(true);
            page->SetFocus();
        } else {
            page->SetVisible(false);
        }
    }
    NeedParentUpdate();
    if (m_Manager)
        m_Manager->SendNotify(this, L"tabselect", static_cast<Platform::WParam>(m_CurSel),
                              static_cast<Platform::LParam>(old));
    return true;
}

void CTabLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"selectedid")
        SelectItem(ParseInt(value));
    else
        CContainerUI::SetAttribute(name, value);
}

} // namespace UiLib
