#pragma once

#include "uilib/controls/BoxLayoutUI.h"

namespace UiLib {

class CHorizontalLayoutUI : public CBoxLayoutUI {
public:
    CHorizontalLayoutUI() : CBoxLayoutUI(Axis::Horizontal) {}
    std::wstring GetClass() const override { return L"HorizontalLayout"; }
    CControlUI* GetInterface(std::wstring_view name) override {
        return name == L"HorizontalLayout" ? this : CContainerUI::GetInterface(name);
    }
};

} // namespace UiLib
