#include "uilib/ControlFactory.h"

#include "uilib/TextCase.h"
#include "uilib/controls/ButtonUI.h"
#include "uilib/controls/CheckBoxUI.h"
#include "uilib/controls/ContainerUI.h"
#include "uilib/controls/EditUI.h"
#include "uilib/controls/HorizontalLayoutUI.h"
#include "uilib/controls/LabelUI.h"
#include "uilib/controls/OptionUI.h"
#include "uilib/controls/ProgressUI.h"
#include "uilib/controls/TabLayoutUI.h"
#include "uilib/controls/VerticalLayoutUI.h"

#include <cwctype>
#include <functional>
#include <map>
#include <string>

namespace UiLib {

namespace {

template <typename Control> std::unique_ptr<CControlUI> Make() {
    return std::make_unique<Control>();
}

} // namespace

std::unique_ptr<CControlUI> CreateBuiltinControl(std::wstring_view elementName) {
    using Factory = std::unique_ptr<CControlUI> (*)();
    // Keys in lower case.
    static const std::map<std::wstring, Factory, std::less<>> factories = {
        {L"control", Make<CControlUI>},
        {L"label", Make<CLabelUI>},
        {L"button", Make<CButtonUI>},
        {L"option", Make<COptionUI>},
        {L"checkbox", Make<CCheckBoxUI>},
        {L"edit", Make<CEditUI>},
        {L"progress", Make<CProgressUI>},
        {L"container", Make<CContainerUI>},
        {L"verticallayout", Make<CVerticalLayoutUI>},
        {L"horizontallayout", Make<CHorizontalLayoutUI>},
        {L"tablayout", Make<CTabLayoutUI>},
    };
    auto found = factories.find(ToLower(elementName));
    return found == factories.end() ? nullptr : found->second();
}

} // namespace UiLib
