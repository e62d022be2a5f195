#include "ui/InstallerControls.h"

#include "ui/SequenceButtonUI.h"
#include "ui/SequenceLabelUI.h"

#include <cwctype>

namespace UiLib {

std::unique_ptr<CControlUI> CreateInstallerControl(const std::wstring& className) {
    std::wstring name = className;
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towlower(c));
    if (name == L"sequencebutton")
        return std::make_unique<CSequenceButtonUI>();
    if (name == L"sequencelabel")
        return std::make_unique<CSequenceLabelUI>();
    return nullptr;
}

} // namespace UiLib
