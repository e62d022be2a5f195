#pragma once

#include "uilib/controls/OptionUI.h"

namespace UiLib {

// An option without a group: each click toggles it.
class CCheckBoxUI : public COptionUI {
public:
    std::wstring GetClass() const override { return L"CheckBox"; }
    CControlUI* GetInterface(std::wstring_view name) override {
        return name == L"CheckBox" ? this : COptionUI::GetInterface(name);
    }
    bool GetCheck() const { return IsSelected(); }
    void SetCheck(bool check) { Selected(check); }
};

} // namespace UiLib
