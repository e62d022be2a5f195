#pragma once

#include "uilib/controls/BoxLayoutUI.h"

namespace UiLib {

class CVerticalLayoutUI : public CBoxLayoutUI {
public:
    CVerticalLayoutUI() : CBoxLayoutUI(Axis::Vertical) {}
    std::wstring GetClass() const override { return L"VerticalLayout"; }
    CControlUI* GetInterface(std::wstring_view name) override {
        return name == L"VerticalLayout" ? this : CContainerUI::GetInterface(name);
    }
};

} // namespace UiLib
