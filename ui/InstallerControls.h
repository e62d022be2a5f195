#pragma once

#include "uilib/controls/ControlUI.h"

#include <memory>
#include <string>

namespace UiLib {

// The installer's own controls for its layouts, by element name ("SequenceLabel", "SequenceButton",
// compared without regard to case); null for a name the framework builds itself. Windows and tools
// that load the installer's layouts hand their unknown element names here.
std::unique_ptr<CControlUI> CreateInstallerControl(const std::wstring& className);

} // namespace UiLib
