#pragma once

#include "uilib/controls/ContainerUI.h"

namespace UiLib {

// Pages on top of each other, one shown at a time.
class CTabLayoutUI : public CContainerUI {
public:
    std::wstring GetClass() const override { return L"TabLayout"; }
    CControlUI* GetInterface(std::wstring_view name) override;

    bool AddAt(std::unique_ptr<CControlUI> control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;

    int GetCurSel() const { return m_CurSel; }
    // Shows page `index` and hides the others; "tabselect" (new, old) when the page changed. False
    // for an index outside the pages.
    bool SelectItem(int index);
    bool SelectItem(CControlUI* control) { return SelectItem(GetItemIndex(control)); }

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

private:
    int m_CurSel = -1;
};

} // namespace UiLib
