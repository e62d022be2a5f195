#include "ui/InstallerControls.h"

#include "ui/SequenceButtonUI.h"
#include "ui/SequenceLabelUI.h"
#include "uilib/TextCase.h"

#include <cwctype>

namespace UiLib {

std::unique_ptr<CControlUI> CreateInstallerControl(const std::wstring& className) {
    const std::wstring name = ToLower(className);
    if (name == L"sequencebutton")
        return std::make_unique<CSequenceButtonUI>();
    if (name == L"sequencelabel")
        return std::make_unique<CSequenceLabelUI>();
    return nullptr;
}

} // namespace UiLib
